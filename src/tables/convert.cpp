#include "tables/convert.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

namespace unitcheck {
namespace {

// Texts longer than kLongestNumber are not examined at all.
constexpr int kTooLongPosition = static_cast<int>(kLongestNumber) + 1;

constexpr bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
constexpr bool is_decimal_digit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool is_sign(char c) {
  return c == '+' || c == '-';
}

// The value of a digit in bases up to 16, or 16 for a byte that is no digit.
constexpr unsigned digit_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A') + 10;
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a') + 10;
  return 16;
}

// The 1-based position of the byte at index i.
constexpr int position_of(std::size_t i) {
  return static_cast<int>(i) + 1;
}

std::size_t skip_blanks(std::string_view text, std::size_t i) {
  while (i < text.size() && is_blank(text[i])) ++i;
  return i;
}

std::size_t skip_decimal_digits(std::string_view text, std::size_t i) {
  while (i < text.size() && is_decimal_digit(text[i])) ++i;
  return i;
}

// ---- Integers ----

// Where the digits of an integer text begin, after blanks, sign, base prefix and leading zeros.
struct IntegerHead {
  std::size_t index;
  unsigned base;
  bool negative;
};

// Reads the base prefix at index i; returns the base and the index after the prefix.
std::pair<unsigned, std::size_t> read_base_prefix(std::string_view text, std::size_t i) {
  if (i >= text.size()) return {10, i};
  switch (text[i]) {
    case '$':
    case 'X':
    case 'x':
      return {16, i + 1};
    case '%':
      return {2, i + 1};
    case '&':
      return {8, i + 1};
    case '0':
      if (i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) return {16, i + 2};
      return {10, i};
    default:
      return {10, i};
  }
}

IntegerHead read_integer_head(std::string_view text) {
  std::size_t i = skip_blanks(text, 0);
  bool negative = false;
  if (i < text.size() && is_sign(text[i])) negative = text[i++] == '-';
  const auto [base, after_prefix] = read_base_prefix(text, i);
  i = after_prefix;
  // Leading zeros go, but the last byte of the text always stays.
  while (i + 1 < text.size() && text[i] == '0') ++i;
  return {i, base, negative};
}

struct Magnitude {
  std::uint64_t value;
  int error_position;
};

// Accumulates the digits from index i up to the end or a zero byte. Fails at the first byte
// that is no digit of the base or that would take the magnitude past limit.
Magnitude read_magnitude(std::string_view text, std::size_t i, unsigned base, std::uint64_t limit) {
  std::uint64_t magnitude = 0;
  for (; i < text.size() && text[i] != '\0'; ++i) {
    const unsigned digit = digit_value(text[i]);
    if (digit >= base || magnitude > (limit - digit) / base) return {0, position_of(i)};
    magnitude = magnitude * base + digit;
  }
  return {magnitude, 0};
}

template <class T>
Converted<T> convert_integer(std::string_view text) {
  using Unsigned = std::make_unsigned_t<T>;
  if (text.size() > kLongestNumber) return {0, kTooLongPosition};
  const IntegerHead head = read_integer_head(text);
  const std::size_t i = head.index;
  if (i >= text.size()) return {0, position_of(i)};
  if (text[i] == '\0') {
    // A zero byte right after a zero ends a text that is zero.
    if (i > 0 && text[i - 1] == '0') return {0, 0};
    return {0, position_of(i)};
  }
  // Decimal text is a signed magnitude; the other bases give a bit pattern of the full width.
  std::uint64_t limit = std::numeric_limits<Unsigned>::max();
  if (head.base == 10) {
    limit = static_cast<std::uint64_t>(std::numeric_limits<T>::max()) + (head.negative ? 1 : 0);
  }
  const Magnitude magnitude = read_magnitude(text, i, head.base, limit);
  if (magnitude.error_position != 0) return {0, magnitude.error_position};
  // Negation wraps around in the width of T: -$80000000 stays the smallest 32-bit value.
  const std::uint64_t bits = head.negative ? 0 - magnitude.value : magnitude.value;
  return {static_cast<T>(static_cast<Unsigned>(bits)), 0};
}

// ---- Floating point ----

// The parts of a floating-point text, as found from its syntax alone.
struct FloatSyntax {
  int error_position = 0;
  bool negative = false;
  bool negative_exponent = false;
  std::string_view integer_digits{};
  std::string_view fraction_digits{};
  std::string_view exponent_digits{};
};

// Accepts blanks, a sign, digits with an optional point (one digit at least), and an optional
// exponent marker with an optional sign and one digit at least; nothing may follow.
FloatSyntax scan_float(std::string_view text) {
  if (text.size() > kLongestNumber) return {.error_position = kTooLongPosition};
  const std::size_t n = text.size();
  FloatSyntax syntax;
  std::size_t i = skip_blanks(text, 0);
  if (i < n && is_sign(text[i])) syntax.negative = text[i++] == '-';
  std::size_t begin = i;
  i = skip_decimal_digits(text, i);
  syntax.integer_digits = text.substr(begin, i - begin);
  if (i < n && text[i] == '.') {
    begin = ++i;
    i = skip_decimal_digits(text, i);
    syntax.fraction_digits = text.substr(begin, i - begin);
  }
  if (syntax.integer_digits.empty() && syntax.fraction_digits.empty()) {
    return {.error_position = position_of(i)};
  }
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < n && is_sign(text[i])) syntax.negative_exponent = text[i++] == '-';
    if (i >= n || !is_decimal_digit(text[i])) return {.error_position = position_of(i)};
    begin = i;
    i = skip_decimal_digits(text, i);
    syntax.exponent_digits = text.substr(begin, i - begin);
  }
  if (i < n) return {.error_position = position_of(i)};
  return syntax;
}

using Extended = long double;

// 10^(2^i) for i from 0 to 12; every power of ten up to 10^8191 is a product of some of them.
constexpr std::array<Extended, 13> kBinaryPowersOfTen = [] {
  std::array<Extended, 13> powers{};
  Extended power = 10;
  for (std::size_t i = 0; i < powers.size(); ++i) {
    powers[i] = power;
    if (i + 1 < powers.size()) power *= power;
  }
  return powers;
}();

// 10^e in extended precision, infinity when out of its range; at most 13 multiplications.
Extended power_of_ten(std::uint32_t e) {
  if (e >> kBinaryPowersOfTen.size() != 0) return std::numeric_limits<Extended>::infinity();
  Extended power = 1;
  for (std::size_t i = 0; e != 0; ++i, e >>= 1) {
    if ((e & 1) != 0) power *= kBinaryPowersOfTen[i];
  }
  return power;
}

// Exponents saturate here: far beyond it, any non-zero mantissa scales to infinity or to 0.
constexpr std::uint32_t kExponentCeiling = 1'000'000'000;

// The decimal value of the digits, or kExponentCeiling when it would exceed it.
std::uint32_t read_exponent(std::string_view digits) {
  std::uint32_t e = 0;
  for (const char c : digits) {
    const auto digit = static_cast<std::uint32_t>(c - '0');
    if (e > (kExponentCeiling - digit) / 10) return kExponentCeiling;
    e = e * 10 + digit;
  }
  return e;
}

// The most that one scaling step applies, so that a tiny mantissa can still take a huge exponent.
constexpr std::uint32_t kScaleStep = 4930;

Extended scale_step(Extended m, std::uint32_t e, bool divide) {
  return divide ? m / power_of_ten(e) : m * power_of_ten(e);
}

// m × 10^e, or m / 10^e when divide is set.
Extended scale(Extended m, std::uint32_t e, bool divide) {
  if (m == 0) return m;  // zero stays zero, even where the power of ten is infinite
  if (e > kScaleStep) {
    m = scale_step(m, kScaleStep, divide);
    e -= kScaleStep;
  }
  return scale_step(m, e, divide);
}

// Builds the value of a well-formed text in extended precision.
Extended float_value(const FloatSyntax& syntax) {
  Extended m = 0;
  for (const char c : syntax.integer_digits) m = m * 10 + (c - '0');
  for (const char c : syntax.fraction_digits) m = m * 10 + (c - '0');
  m = scale(m, static_cast<std::uint32_t>(syntax.fraction_digits.size()), true);
  m = scale(m, read_exponent(syntax.exponent_digits), syntax.negative_exponent);
  return syntax.negative ? -m : m;
}

}  // namespace

Converted<std::int32_t> convert_int32(std::string_view text) {
  return convert_integer<std::int32_t>(text);
}

Converted<std::int64_t> convert_int64(std::string_view text) {
  return convert_integer<std::int64_t>(text);
}

Converted<double> convert_float(std::string_view text) {
  const FloatSyntax syntax = scan_float(text);
  if (syntax.error_position != 0) return {0.0, syntax.error_position};
  return {static_cast<double>(float_value(syntax)), 0};
}

int float_error_position(std::string_view text) {
  return scan_float(text).error_position;
}

std::string int_to_text(std::int64_t value) {
  std::string text;
  append_int(text, value);
  return text;
}

std::size_t int_to_chars(char* out, std::int64_t value) {
  // Two digits per division: reports write several numbers per finding.
  static constexpr std::array<char, 200> kPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t n = 0; n < 100; ++n) {
      pairs[2 * n] = static_cast<char>('0' + n / 10);
      pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return pairs;
  }();
  std::uint64_t magnitude = static_cast<std::uint64_t>(value);
  if (value < 0) magnitude = 0 - magnitude;
  std::size_t digits = 1;
  for (std::uint64_t bound = 10; digits < 19 && magnitude >= bound; bound *= 10) ++digits;
  const std::size_t length = digits + (value < 0 ? 1 : 0);
  char* last = out + length;  // written from the end
  for (; magnitude >= 100; magnitude /= 100) {
    const std::size_t pair = 2 * static_cast<std::size_t>(magnitude % 100);
    *--last = kPairs[pair + 1];
    *--last = kPairs[pair];
  }
  if (magnitude >= 10) {
    *--last = kPairs[2 * magnitude + 1];
    *--last = kPairs[2 * magnitude];
  } else {
    *--last = static_cast<char>('0' + magnitude);
  }
  if (value < 0) *--last = '-';
  return length;
}

void append_int(std::string& text, std::int64_t value) {
  char digits[kLongestIntText];
  text.append(digits, int_to_chars(digits, value));
}

}  // namespace unitcheck
