#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace unitcheck {

// The longest text a conversion examines: a longer one fails at the position after it.
inline constexpr std::size_t kLongestNumber = 255;

// The result of a text-to-number conversion. error_position is 0 on success; otherwise the
// 1-based position where conversion stopped, length + 1 when the text ended too early, or 256
// for a text longer than 255 bytes. value is 0 whenever error_position is not 0.
template <class T>
struct Converted {
  T value;
  int error_position;
};

Converted<std::int32_t> convert_int32(std::string_view text);
Converted<std::int64_t> convert_int64(std::string_view text);
// Builds the number in extended precision (long double) and rounds it to a double.
Converted<double> convert_float(std::string_view text);
// The error position that convert_float gives for the text, found from its syntax alone,
// without building the value.
int float_error_position(std::string_view text);

// Plain decimal, a minus sign first when negative.
std::string int_to_text(std::int64_t value);
// The same, appended to text.
void append_int(std::string& text, std::int64_t value);
// The same, written at out, which has room for kLongestIntText bytes; returns its length.
inline constexpr std::size_t kLongestIntText = 20;  // a sign and 19 digits
std::size_t int_to_chars(char* out, std::int64_t value);

}  // namespace unitcheck
