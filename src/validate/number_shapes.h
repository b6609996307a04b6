#pragma once

// The shapes of the number cells that pass without a conversion, decided one value at a time or
// for every value of a 64-byte block at once from its masks.
// Tested by tests/validate/number_shapes_test.cpp (every shape against the one-value forms, over
// all short texts of the bytes that matter) and the split tests that use them.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tables/convert.h"

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
//
// A worked example, over the line `1.5,-2,x,,3..,` (bit i for byte i, shown with byte 0 on the
// left, the reverse of how a number is written; bits past the line left out):
//
//   byte                        1 . 5 , - 2 , x , , 3 . . ,
//   structural (the commas)     . . . 1 . . 1 . 1 1 . . . 1
//   starts                      1 . . . 1 . . 1 . 1 1 . . .
//   digits                      1 . 1 . . 1 . . . . 1 . . .
//   points                      . 1 . . . . . . . . . 1 1 .
//   signs                       . . . . 1 . . . . . . . . .
//   strays                      . . . . . . . 1 . . . . . .   'x': no digit, point or leading sign
//   values + points             1 . . 1 1 1 . 1 . . 1 . 1 1
//   extra_points                . . . . . . . . . . . . 1 .   the second point of "3.."
//   runs_marked(digits)         . . . 1 . . 1 . . . . . . 1   values with a digit
//   runs_marked(strays | extra) . . . . . . . . 1 . . . . 1   values with a fault
//   empty                       . . . . . . . . . 1 . . . .
//   plain_float_ends            . . . 1 . . 1 . . 1 . . . .   "1.5", "-2" and ""
//
// In "values + points" the run of "1.5" (bits 0 to 2, all ones in values) gains its point at
// bit 1: the sum carries from bit 1 through bit 2 into the comma at bit 3, leaving bit 0 and the
// comma set. A run's first point is where its carry starts, so a point left set afterwards is a
// second one: "3.." keeps bit 12.
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
