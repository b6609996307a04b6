#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "csv/byte_scan.h"
#include "validate/number_shapes.h"

namespace unitcheck {
namespace {

// Every text of up to max_length bytes drawn from alphabet.
std::vector<std::string> all_texts(std::string_view alphabet, std::size_t max_length) {
  std::vector<std::string> texts{""};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].size() == max_length) continue;
    for (char c : alphabet) texts.push_back(texts[i] + c);
  }
  return texts;
}

// The text placed at offset of a 64-byte block padded with semicolons, classified; returns the
// span mask of the text.
std::uint64_t place(std::string_view text, std::size_t offset, ByteClasses64& classes) {
  std::string block(64, ';');
  block.replace(offset, text.size(), text);
  classes = classify_block64(block.data(), '{', ';', '}');
  const std::uint64_t low = (std::uint64_t{1} << offset) - 1;
  const std::uint64_t high = offset + text.size() == 64
                                 ? ~std::uint64_t{0}
                                 : (std::uint64_t{1} << (offset + text.size())) - 1;
  return high & ~low;
}

// The worked example above plain_float_ends: bit i of a mask written as character i.
TEST(NumberShapes, TheWorkedExampleOfPlainFloatEnds) {
  const std::string_view line = "1.5,-2,x,,3..,";
  auto bits = [&](std::string_view shown) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
      if (shown[i] == '1') mask |= std::uint64_t{1} << i;
    return mask;
  };
  std::string block(line);
  block.resize(64, '\0');
  const ByteClasses64 classes = classify_tail64(block.data(), line.size(), ',', '"', ',');
  EXPECT_EQ(classes.opens, bits("...1..1.11...1"));
  const std::uint64_t starts = classes.opens << 1 | 1;
  EXPECT_EQ(starts & bits("11111111111111"), bits("1...1..1.11..."));
  EXPECT_EQ(plain_float_ends(classes.opens, starts, classes.digits, classes.points, classes.signs),
            bits("...1..1..1...."));
}

// The block tests must agree with the byte loops on every short text of number-like bytes,
// wherever the text lies in the block.
TEST(NumberShapes, AgreesWithByteLoops) {
  const std::vector<std::string> texts = all_texts("+-.05e9a", 5);
  for (std::size_t offset : {0, 1, 30, 59}) {
    for (const std::string& text : texts) {
      if (text.empty()) continue;
      ByteClasses64 c{};
      const std::uint64_t span = place(text, offset, c);
      EXPECT_EQ(is_plain_float_span(span, c.digits, c.points, c.signs), is_plain_float(text))
          << text << " at " << offset;
      EXPECT_EQ(is_plain_integer_span(span, c.digits, c.minus, 3), is_plain_integer(text, 3))
          << text << " at " << offset;
    }
  }
}

TEST(NumberShapes, LongValuesAndDigitLimits) {
  struct Case {
    std::string text;
    bool plain_float;
    bool plain_integer;  // at most 9 digits
  };
  const Case cases[] = {
      {"123456789", true, true},
      {"-123456789", true, true},
      {"1234567890", true, false},
      {"-0000000001", true, false},
      {std::string(64, '7'), true, false},
      {"-" + std::string(62, '1') + ".", true, false},
      {"1.2.3", false, false},
      {"1-", false, false},
      {"--1", false, false},
      {"+5", true, false},
      {"\x80"
       "1",
       false, false},
  };
  for (const Case& test : cases) {
    ByteClasses64 c{};
    const std::uint64_t span = place(test.text, 64 - test.text.size(), c);
    EXPECT_EQ(is_plain_float_span(span, c.digits, c.points, c.signs), test.plain_float)
        << test.text;
    EXPECT_EQ(is_plain_integer_span(span, c.digits, c.minus, 9), test.plain_integer) << test.text;
  }
}

// A short tail is classified like a full block, with nothing past its end.
// The block-wide answer for every value at once agrees with the byte loop on each value: blocks
// of short number-like values between braces and semicolons, empty values and values cut by
// the block's end included, with the block beginning a value or not.
TEST(NumberShapes, BlockWideAnswersAgreeWithByteLoopsOnEveryValue) {
  std::mt19937 random(7);
  const std::string alphabet = "+-.05e9a0123;;;{}";
  for (int round = 0; round < 20000; ++round) {
    std::string block(64, ' ');
    for (char& byte : block) byte = alphabet[random() % alphabet.size()];
    const ByteClasses64 c = classify_block64(block.data(), '{', ';', '}');
    for (const bool begins_value : {true, false}) {
      const std::uint64_t starts = c.structural << 1 | std::uint64_t{begins_value};
      const std::uint64_t ends =
          plain_float_ends(c.structural, starts, c.digits, c.points, c.signs);
      const std::uint64_t integer_ends =
          plain_integer_ends(c.structural, starts, c.digits, c.minus, 3);
      std::size_t start = 0;
      bool whole = begins_value;
      for (std::size_t i = 0; i < 64; ++i) {
        if ((c.structural >> i & 1) == 0) continue;
        const std::string value = block.substr(start, i - start);
        if (whole) {
          ASSERT_EQ((ends >> i & 1) != 0, value.empty() || is_plain_float(value))
              << block << " value " << value << " at " << start;
          ASSERT_EQ((integer_ends >> i & 1) != 0, value.empty() || is_plain_integer(value, 3))
              << block << " value " << value << " at " << start;
        }
        start = i + 1;
        whole = true;
      }
    }
  }
}

// Runs of digits of every length, ended by every count asked for.
TEST(NumberShapes, EndsOfDigitRuns) {
  std::mt19937 random(9);
  for (int round = 0; round < 2000; ++round) {
    const std::uint64_t digits = (std::uint64_t{random()} << 32 | random()) |
                                 (round % 2 == 0 ? ~std::uint64_t{0} << (round % 64) : 0);
    for (int count = 1; count <= 64; ++count) {
      std::uint64_t expected = 0;
      for (int i = count - 1; i < 64; ++i)
        if (((digits >> (i - count + 1)) & (~std::uint64_t{0} >> (64 - count))) ==
            ~std::uint64_t{0} >> (64 - count))
          expected |= std::uint64_t{1} << i;
      ASSERT_EQ(ends_of_digit_runs(digits, count), expected) << count << " " << digits;
    }
  }
}

TEST(ByteClasses64, TailMatchesBlockAndStopsAtItsEnd) {
  const std::string text = "{+1.5;-2}a;{9";
  std::string padded = text + std::string(64 - text.size(), ';');
  const ByteClasses64 block = classify_block64(padded.data(), '{', ';', '}');
  const ByteClasses64 tail = classify_tail64(text.data(), text.size(), '{', ';', '}');
  const std::uint64_t valid = (std::uint64_t{1} << text.size()) - 1;
  EXPECT_EQ(tail.structural, block.structural & valid);
  EXPECT_EQ(tail.structural, 0b110100100001u);
  EXPECT_EQ(tail.opens, 0b100000000001u);
  EXPECT_EQ(tail.closes, 0b100000000u);
  EXPECT_EQ(tail.digits, 0b1000010010100u);
  EXPECT_EQ(tail.points, 0b1000u);
  EXPECT_EQ(tail.signs, 0b1000010u);
  EXPECT_EQ(tail.minus, 0b1000000u);
}

}  // namespace
}  // namespace unitcheck
