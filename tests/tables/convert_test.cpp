#include "tables/convert.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace unitcheck {
namespace {

using namespace std::string_literals;  // texts with zero bytes

constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Expected results of the three conversions of one text.
struct Row {
  std::string text;
  std::int64_t int64;
  int int64_position;
  std::int32_t int32;
  int int32_position;
  double real;
  int real_position;
};

void expect_row(const Row& row) {
  SCOPED_TRACE(testing::PrintToString(row.text));
  const auto i64 = convert_int64(row.text);
  EXPECT_EQ(i64.value, row.int64);
  EXPECT_EQ(i64.error_position, row.int64_position);
  const auto i32 = convert_int32(row.text);
  EXPECT_EQ(i32.value, row.int32);
  EXPECT_EQ(i32.error_position, row.int32_position);
  const auto real = convert_float(row.text);
  EXPECT_DOUBLE_EQ(real.value, row.real);
  EXPECT_EQ(real.error_position, row.real_position);
  EXPECT_EQ(float_error_position(row.text), row.real_position);
}

TEST(Convert, EdgeCases) {
  const Row rows[] = {
      {"", 0, 1, 0, 1, 0, 1},
      {" ", 0, 2, 0, 2, 0, 2},
      {"0", 0, 0, 0, 0, 0, 0},
      {"-", 0, 2, 0, 2, 0, 2},
      {"1-2", 0, 2, 0, 2, 0, 2},
      {"12 ", 0, 3, 0, 3, 0, 3},
      {"-0", 0, 0, 0, 0, 0, 0},
      {"$1F", 31, 0, 31, 0, 0, 1},
      {"0x", 0, 3, 0, 3, 0, 2},
      {"1e3", 0, 2, 0, 2, 1000, 0},
      {".", 0, 1, 0, 1, 0, 2},
      {"1.", 0, 2, 0, 2, 1, 0},
      {".5", 0, 1, 0, 1, 0.5, 0},
      {"1e", 0, 2, 0, 2, 0, 3},
      {"1e+", 0, 2, 0, 2, 0, 4},
      {"1.2.3", 0, 2, 0, 2, 0, 4},
      {"2147483647", 2147483647, 0, 2147483647, 0, 2147483647.0, 0},
      {"2147483648", 2147483648, 0, 0, 10, 2147483648.0, 0},
      {"-2147483648", -2147483648, 0, kMin32, 0, -2147483648.0, 0},
      {"9223372036854775807", kMax64, 0, 0, 10, 9223372036854775807.0, 0},
      {"9999999999999999999", 0, 19, 0, 10, 1e19, 0},
      {"-9223372036854775808", kMin64, 0, 0, 11, -9223372036854775808.0, 0},
      {"+5", 5, 0, 5, 0, 5, 0},
      {" \t7", 7, 0, 7, 0, 7, 0},
      {"\t-1.25E+02", 0, 4, 0, 4, -125, 0},
      {"-.5e-1", 0, 2, 0, 2, -0.05, 0},
      {"12\0ab"s, 12, 0, 12, 0, 0, 3},
      {"0\0"s, 0, 0, 0, 0, 0, 2},
      {"\0"s, 0, 1, 0, 1, 0, 1},
      {"-\0"s, 0, 2, 0, 2, 0, 2},
      {std::string(254, '0') + "7", 7, 0, 7, 0, 7, 0},
      {std::string(255, '1'), 0, 20, 0, 11, 1.111111111111111111e254, 0},
      {std::string(256, '1'), 0, 256, 0, 256, 0, 256},
      // Boundaries of both widths, with leading zeros and in the other bases.
      {"-2147483649", -2147483649, 0, 0, 11, -2147483649.0, 0},
      {"9223372036854775808", 0, 19, 0, 10, 9223372036854775808.0, 0},
      {"-9223372036854775809", 0, 20, 0, 11, -9223372036854775809.0, 0},
      {"0000000000002147483647", 2147483647, 0, 2147483647, 0, 2147483647.0, 0},
      {"-00000000009223372036854775808", kMin64, 0, 0, 21, -9223372036854775808.0, 0},
      {"$7FFFFFFF", 2147483647, 0, 2147483647, 0, 0, 1},
      {"$80000000", 2147483648, 0, kMin32, 0, 0, 1},
      {"-$80000000", -2147483648, 0, kMin32, 0, 0, 2},
      {"$FFFFFFFF", 4294967295, 0, -1, 0, 0, 1},
      {"-$FFFFFFFF", -4294967295, 0, 1, 0, 0, 2},
      {"0x00000000ffffffff", 4294967295, 0, -1, 0, 0, 2},
      {"$100000000", 4294967296, 0, 0, 10, 0, 1},
      {"$7FFFFFFFFFFFFFFF", kMax64, 0, 0, 10, 0, 1},
      {"$FFFFFFFFFFFFFFFF", -1, 0, 0, 10, 0, 1},
      {"$10000000000000000", 0, 18, 0, 10, 0, 1},
      {"&37777777777", 4294967295, 0, -1, 0, 0, 1},
      {"%" + std::string(32, '1'), 4294967295, 0, -1, 0, 0, 1},
  };
  for (const Row& row : rows) expect_row(row);
}

TEST(ConvertInteger, EveryPrefixWithEverySign) {
  struct Prefix {
    std::string text;
    std::int64_t base;
    char first_non_digit;
  };
  const Prefix prefixes[] = {{"", 10, 'A'},   {"$", 16, 'G'},  {"x", 16, 'g'}, {"X", 16, 'G'},
                             {"0x", 16, 'G'}, {"0X", 16, 'g'}, {"%", 2, '2'},  {"&", 8, '8'}};
  for (const std::string sign : {"", "+", "-"}) {
    for (const Prefix& prefix : prefixes) {
      const std::string head = sign + prefix.text;
      SCOPED_TRACE(head);
      const std::int64_t base = sign == "-" ? -prefix.base : prefix.base;
      const int end = static_cast<int>(head.size()) + 1;
      EXPECT_EQ(convert_int64(head + "10").value, base);
      EXPECT_EQ(convert_int32(head + "010").value, base);
      EXPECT_EQ(convert_int64(head).error_position, end);
      EXPECT_EQ(convert_int32(head + "1" + prefix.first_non_digit).error_position, end + 1);
      EXPECT_EQ(float_error_position(head + "10") == 0, prefix.text.empty());
    }
  }
}

TEST(ConvertFloat, HugeExponentsSaturateAtOnce) {
  // Scaling costs no time per unit of exponent: a loop over ten million would take seconds here,
  // so this fails before the far larger exponents below could hang.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(convert_float("1e10000000").value, kInf);
    EXPECT_EQ(convert_float("1e-10000000").value, 0);
  }
  ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

  const std::pair<std::string, double> cases[] = {
      {"1e999999999", kInf},
      {"-1e999999999", -kInf},
      {"1e-2147483648", 0},
      {"1e99999999999999999999", kInf},
      {"1e4294967296", kInf},
      {"1e-4294967297", 0},
      {"0e99999999999", 0},
      {"1e400", kInf},
      {"." + std::string(200, '0') + "1e5000", kInf},
      {"1" + std::string(200, '0') + "e-200", 1},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text);
    const auto result = convert_float(text);
    EXPECT_EQ(result.error_position, 0);
    EXPECT_DOUBLE_EQ(result.value, value);
  }
}

TEST(IntToText, PlainDecimal) {
  const std::pair<std::int64_t, std::string> cases[] = {
      {0, "0"},
      {7, "7"},
      {-7, "-7"},
      {10, "10"},
      {-99, "-99"},
      {100, "100"},
      {1000, "1000"},
      {-2147483648, "-2147483648"},
      {kMax64, "9223372036854775807"},
      {kMin64, "-9223372036854775808"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(int_to_text(value), text);
}

}  // namespace
}  // namespace unitcheck
