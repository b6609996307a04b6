// The judge of values, by table and against the conversions that build the numbers; and the
// fast paths' shapes held to it: whatever a plain-number shape lets through, the judge passes.
// (The mask forms are held to the shapes in number_span_test and unquoted_row_test, the nested
// walk to a model that asks the judge in nested_list_test.)
#include "validate/cell_judge.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace unitcheck {
namespace {

using enum ValueRule;
using enum Verdict;

TEST(CellJudge, VerdictsAndErrorPositionsByRule) {
  const struct {
    ValueRule rule;
    std::string value;
    Verdict verdict;
    std::int64_t error_position;
  } cases[] = {
      // Empty values hold nothing to check, whatever the rule.
      {Float, "", Fits, 0},
      {BooleanDigit, "", Fits, 0},
      {Text, "", Fits, 0},
      // Booleans: words in a unit cell, digits in a nested list.
      {BooleanWord, "TRUE", Fits, 0},
      {BooleanWord, "false", Fits, 0},
      {BooleanWord, "0", Fits, 0},
      {BooleanWord, "True", NotBoolean, 0},
      {BooleanWord, "yes", NotBoolean, 0},
      {BooleanDigit, "1", Fits, 0},
      {BooleanDigit, "true", NotBoolean, 0},
      {BooleanDigit, "10", NotBoolean, 0},
      // Floating-point numbers.
      {Float, "-12.5", Fits, 0},
      {Float, "3e-2", Fits, 0},
      {Float, "+.5", Fits, 0},
      {Float, "1,5", NotFloat, 0},
      {Float, "1.5f", NotFloat, 0},
      {Float, " 1", NotFloat, 0},
      {Float, "1.2.3", FloatConversion, 4},
      {Float, "--1", FloatConversion, 2},
      {Float, "1e", FloatConversion, 3},
      {Float, "+", FloatConversion, 2},
      {Float, std::string(256, '1'), FloatConversion, 256},
      // Integers: 32 bits in a nested list, 64 in a unit cell; no plus sign.
      {Integer32, "-2147483648", Fits, 0},
      {Integer32, "2147483648", IntegerConversion, 10},
      {Integer64, "2147483648", Fits, 0},
      {Integer64, "9223372036854775807", Fits, 0},
      {Integer64, "9223372036854775808", IntegerConversion, 19},
      {Integer64, "1-2", IntegerConversion, 2},
      {Integer64, "-", IntegerConversion, 2},
      {Integer64, "+5", NotInteger, 0},
      {Integer32, "1.0", NotInteger, 0},
      {Integer64, std::string(300, '7'), IntegerConversion, 256},
      // Texts: at most the declared size.
      {Text, std::string(60, 'a'), Fits, 0},
      {Text, std::string(61, 'a'), TooLong, 0},
      // A rule without checks passes anything.
      {Unchecked, "{;;}", Fits, 0},
  };
  for (const auto& c : cases) {
    const Judgement judgement = judge_value(c.rule, c.value, 60);
    EXPECT_EQ(judgement.verdict, c.verdict) << c.value;
    EXPECT_EQ(judgement.error_position, c.error_position) << c.value;
  }
}

// The rules of the schema's types, and the findings of the verdicts, in a unit cell and in a
// nested list.
TEST(CellJudge, RulesAndFindingsFollowWhereTheValueLies) {
  EXPECT_EQ(value_rule(FieldType::Boolean, false), BooleanWord);
  EXPECT_EQ(value_rule(FieldType::Boolean, true), BooleanDigit);
  EXPECT_EQ(value_rule(FieldType::Integer, true), Integer32);
  EXPECT_EQ(value_rule(FieldType::Integer, false), Unchecked);  // a nested list's column
  EXPECT_EQ(value_rule(FieldType::Int64, false), Integer64);
  EXPECT_EQ(value_rule(FieldType::Float, true), Float);
  EXPECT_EQ(value_rule(FieldType::Text, false), Text);
  const struct {
    Verdict verdict;
    FindingKind cell, nested;
  } kinds[] = {
      {TooLong, FindingKind::TextTooLong, FindingKind::NestedTextTooLong},
      {NotBoolean, FindingKind::NotBoolean, FindingKind::NestedNotBoolean},
      {NotFloat, FindingKind::NotFloat, FindingKind::NestedNotFloat},
      {FloatConversion, FindingKind::FloatConversion, FindingKind::NestedFloatConversion},
      {NotInteger, FindingKind::NotInteger, FindingKind::NestedNotInteger},
      {IntegerConversion, FindingKind::IntegerConversion, FindingKind::NestedIntegerConversion},
  };
  for (const auto& k : kinds) {
    EXPECT_EQ(finding_kind(k.verdict, false), k.cell);
    EXPECT_EQ(finding_kind(k.verdict, true), k.nested);
  }
}

// Random values over the bytes of numbers (and a few others), short and past the longest number
// converted: the judge agrees with the conversions that build the value, and every value a
// plain-number shape lets through, the judge passes.
TEST(CellJudge, AgreesWithTheConversionsAndPassesWhatTheShapesPass) {
  std::mt19937 random(23);
  const std::string alphabet = "0123456789000111-+.eE x,";
  auto random_value = [&] {
    const std::size_t length = random() % 8 == 0 ? 250 + random() % 10 : random() % 22;
    std::string value;
    for (std::size_t i = 0; i < length; ++i) value += alphabet[random() % alphabet.size()];
    return value;
  };
  for (int n = 0; n < 200000; ++n) {
    const std::string value = random_value();
    if (value.empty()) continue;
    const Judgement real = judge_value(Float, value);
    const bool float_bytes = all_chars_in(value, float_chars);
    ASSERT_EQ(real.fits(), float_bytes && convert_float(value).error_position == 0) << value;
    if (float_bytes) {
      ASSERT_EQ(real.error_position, convert_float(value).error_position) << value;
    }
    const bool integer_bytes = all_chars_in(value, integer_chars);
    const Judgement narrow = judge_value(Integer32, value);
    const Judgement wide = judge_value(Integer64, value);
    ASSERT_EQ(narrow.fits(), integer_bytes && convert_int32(value).error_position == 0) << value;
    ASSERT_EQ(wide.fits(), integer_bytes && convert_int64(value).error_position == 0) << value;
    if (integer_bytes) {
      ASSERT_EQ(narrow.error_position, convert_int32(value).error_position) << value;
      ASSERT_EQ(wide.error_position, convert_int64(value).error_position) << value;
    }
    EXPECT_TRUE(!is_plain_float(value) || real.fits()) << value;
    EXPECT_TRUE(!is_plain_integer(value, 9) || narrow.fits()) << value;
    EXPECT_TRUE(!is_plain_integer(value, 18) || wide.fits()) << value;
  }
}

}  // namespace
}  // namespace unitcheck
