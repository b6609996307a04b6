#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "tables/convert.h"

namespace unitcheck {

// A set of bytes, tested by table lookup.
class CharSet {
 public:
  constexpr explicit CharSet(std::string_view members) : members_{} {
    for (char c : members) members_[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool contains(char c) const { return members_[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> members_;
};

// The bytes an integer cell may hold: no plus sign, no blank.
inline constexpr CharSet integer_chars("-0123456789");
// The bytes a floating-point cell may hold.
inline constexpr CharSet float_chars("+-.0123456789Ee");
// The bytes that cut a Mesh cell into pieces.
inline constexpr CharSet mesh_delimiters(";{}");

// The words a boolean cell of the unit table may hold.
constexpr bool is_boolean_word(std::string_view value) {
  return value == "TRUE" || value == "true" || value == "false" || value == "FALSE" ||
         value == "0" || value == "1";
}

// The words a boolean value of a nested list may hold, besides none.
constexpr bool is_boolean_digit(std::string_view value) {
  return value == "1" || value == "0";
}

// True when every byte of text belongs to set; true for empty text.
constexpr bool all_chars_in(std::string_view text, const CharSet& set) {
  for (char c : text)
    if (!set.contains(c)) return false;
  return true;
}

}  // namespace unitcheck

namespace unitcheck {

// The common shapes of number cells, recognised in one pass. Text of these shapes passes both
// the character-set test and the conversion, so the checks can stop there; any other text
// takes the full path. Bounds keep them well inside the conversions' limits.

constexpr bool is_decimal_digit(char c) {
  return c >= '0' && c <= '9';
}

// An optional sign, digits, and an optional point with more digits: one digit at least.
constexpr bool is_plain_float(std::string_view text) {
  if (text.size() > kLongestNumber) return false;
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p != end && (*p == '-' || *p == '+')) ++p;
  const char* const digits = p;
  while (p != end && is_decimal_digit(*p)) ++p;
  std::ptrdiff_t digit_count = p - digits;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    while (p != end && is_decimal_digit(*p)) ++p;
    digit_count += p - fraction;
  }
  return p == end && digit_count > 0;
}

// An optional minus sign and 1 to max_digits decimal digits.
constexpr bool is_plain_integer(std::string_view text, std::size_t max_digits) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty() || text.size() > max_digits) return false;
  for (char c : text)
    if (!is_decimal_digit(c)) return false;
  return true;
}

// The same shapes decided from masks over a block of bytes: span holds the value's bytes (one
// run of set bits, at least one), the other masks the block's bytes of each class.

// is_plain_float of the bytes in span.
constexpr bool is_plain_float_span(std::uint64_t span, std::uint64_t digits, std::uint64_t points,
                                   std::uint64_t signs) {
  const std::uint64_t first = span & (~span + 1);
  const std::uint64_t others = span & ~digits & ~(first & signs);  // must be one point or none
  return (span & digits) != 0 && (others & (others - 1)) == 0 && (others & ~points) == 0;
}

// is_plain_integer of the bytes in span; max_digits below 64.
constexpr bool is_plain_integer_span(std::uint64_t span, std::uint64_t digits, std::uint64_t minus,
                                     int max_digits) {
  const std::uint64_t first = span & (~span + 1);
  const std::uint64_t digit_run = span & digits;  // one run once the rest is only a minus
  return (span & ~digits & ~(first & minus)) == 0 && digit_run != 0 &&
         (digit_run >> std::countr_zero(digit_run)) >> max_digits == 0;
}

// The same shapes decided for every value of a block at once. structural holds the bytes that
// end values, starts the first byte of each value (the byte after each structural byte, and the
// block's first byte when a value begins there); the other bytes are value bytes, in runs.

// The structural bits whose run of value bytes just below holds a bit of marks. Adding the
// marks to a run of ones carries exactly one bit out of the run's top, into the structural bit
// above it, and no further: that bit is 0 in both terms.
constexpr std::uint64_t runs_marked(std::uint64_t structural, std::uint64_t marks) {
  const std::uint64_t values = ~structural;
  return (values + (marks & values)) & structural;
}

// The structural bits that end a value which is empty or is_plain_float: in its run one digit
// at least, one point at most, and a sign only at the start.
constexpr std::uint64_t plain_float_ends(std::uint64_t structural, std::uint64_t starts,
                                         std::uint64_t digits, std::uint64_t points,
                                         std::uint64_t signs) {
  const std::uint64_t values = ~structural;
  const std::uint64_t strays = values & ~digits & ~points & ~(signs & starts);
  // Adding a run's points leaves, of its points, those after the first.
  const std::uint64_t extra_points = (values + (points & values)) & values & points;
  const std::uint64_t empty = structural & starts;
  return (runs_marked(structural, digits) & ~runs_marked(structural, strays | extra_points)) |
         empty;
}

// The bits that end count digits in a row (count from 1 to 64), by runs of doubling length:
// power marks the ends of power_length digits in a row, result those of covered.
constexpr std::uint64_t ends_of_digit_runs(std::uint64_t digits, int count) {
  std::uint64_t result = ~std::uint64_t{0};
  int covered = 0;
  std::uint64_t power = digits;
  int power_length = 1;
  for (; count > 0; count >>= 1) {
    if ((count & 1) != 0) {
      result &= power << covered;
      covered += power_length;
    }
    if (power_length < 64) power &= power << power_length;
    power_length *= 2;
  }
  return result;
}

// The structural bits that end a value which is empty or is_plain_integer with max_digits: in
// its run one digit at least, a minus only at the start, and nothing else. Digits of such a
// run are consecutive, so more than max_digits of them are max_digits + 1 in a row.
constexpr std::uint64_t plain_integer_ends(std::uint64_t structural, std::uint64_t starts,
                                           std::uint64_t digits, std::uint64_t minus,
                                           int max_digits) {
  const std::uint64_t values = ~structural;
  const std::uint64_t strays = values & ~digits & ~(minus & starts);
  const std::uint64_t too_many = ends_of_digit_runs(digits, max_digits + 1);
  const std::uint64_t empty = structural & starts;
  return (runs_marked(structural, digits) & ~runs_marked(structural, strays | too_many)) | empty;
}

}  // namespace unitcheck
