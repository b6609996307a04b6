#pragma once

#include <string_view>

// Faulty cell values, each failing exactly one check of the validator. None holds a comma,
// a quote, a semicolon or a brace, so each stays one value in a unit line and in a nested list.
namespace unitcheck::gen::fault_values {

// A byte outside + - . 0-9 E e.
inline constexpr std::string_view kNotFloat[] = {
    "12.5x", "n/a", "1 5", "0x1F", "~3", "inf", "12.5 ", " 40", "1_000.0", "12%",
};
// Only float bytes, but no number: doubled points or signs, an exponent without digits.
inline constexpr std::string_view kBadFloat[] = {
    "1.2.3", "1e", "--5", "5-", ".", "+", "1e+", "3.5E-", "..5", "1e5.5", "-.", "1+2",
};
// A byte outside - 0-9.
inline constexpr std::string_view kNotInteger[] = {
    "12x", "+5", "1.0", "3e2", " 7", "1_000", "0x10", "seven",
};
// Only integer bytes, but no 64-bit number.
inline constexpr std::string_view kBadInt64[] = {
    "1-2", "-", "--1", "12-", "99999999999999999999", "9223372036854775808", "-9223372036854775809",
    "0-0",
};
// Only integer bytes, but no 32-bit number.
inline constexpr std::string_view kBadInt32[] = {
    "1-2", "-", "--3", "7-", "2147483648", "4294967296", "-2147483649",
};
// Not one of TRUE true FALSE false 1 0.
inline constexpr std::string_view kBadBoolean[] = {
    "True", "yes", "no", "Y", "2", "on", "tRUE", "-1", "False",
};
// Not one of 1 0 (a nested list knows no words).
inline constexpr std::string_view kBadListBoolean[] = {
    "true", "TRUE", "false", "yes", "2", "-1", "x",
};
// A category that is neither a category of the part list nor a prefix of one.
inline constexpr std::string_view kUnknownCategory = "Salvage/Unlisted";
// A part name that the part list does not hold.
inline constexpr std::string_view kUnknownPart = "unlisted_part";
// Text to cut overlong values from; 200 bytes.
inline constexpr std::string_view kLongText =
    "Overlong_value_that_no_column_of_this_table_was_ever_meant_to_hold_"
    "Overlong_value_that_no_column_of_this_table_was_ever_meant_to_hold_"
    "Overlong_value_that_no_column_of_this_table_was_ever_meant_to_hold";

}  // namespace unitcheck::gen::fault_values
