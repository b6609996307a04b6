#pragma once

// The one judge of a value by its text alone: a cell of the unit table or a value of a nested
// list in, a verdict and where a conversion stopped out. The row checks' slow path, the nested
// lists' full checks and unitlint's decimal-comma hint all ask it; the fast paths (the plain
// number shapes of char_sets.h and their mask forms, the boolean words and fitting texts passed
// in the row splitter's callback) only let through what it passes, which
// tests/validate/cell_judge_test.cpp holds them to.

#include <cstdint>
#include <string_view>

#include "tables/convert.h"
#include "tables/mem_table.h"
#include "validate/char_sets.h"
#include "validate/finding.h"
#include "validate/number_shapes.h"

namespace unitcheck {

// What a value is judged as.
enum class ValueRule : std::uint8_t {
  Text,          // no longer than its declared size
  BooleanWord,   // a cell of the unit table: TRUE, true, FALSE, false, 1 or 0
  BooleanDigit,  // a value of a nested list: 1 or 0
  Integer32,     // a value of a nested list
  Integer64,     // a cell of the unit table
  Float,
  Unchecked,
};

// The rule of a field's values: in the unit table (in_list false) or a nested list.
constexpr ValueRule value_rule(FieldType type, bool in_list) {
  switch (type) {
    case FieldType::Text:
      return ValueRule::Text;
    case FieldType::Boolean:
      return in_list ? ValueRule::BooleanDigit : ValueRule::BooleanWord;
    case FieldType::Integer:
      return in_list ? ValueRule::Integer32 : ValueRule::Unchecked;
    case FieldType::Int64:
      return in_list ? ValueRule::Unchecked : ValueRule::Integer64;
    case FieldType::Float:
      return ValueRule::Float;
  }
  return ValueRule::Unchecked;
}

enum class Verdict : std::uint8_t {
  Fits,
  TooLong,            // longer than the declared size
  NotBoolean,         // none of the rule's words
  NotFloat,           // a byte outside float_chars
  FloatConversion,    // float characters that do not make a number
  NotInteger,         // a byte outside integer_chars
  IntegerConversion,  // integer characters that do not make a number in range
};

struct Judgement {
  Verdict verdict = Verdict::Fits;
  std::int64_t error_position = 0;  // of a conversion, counted from 1; 0 otherwise

  bool fits() const { return verdict == Verdict::Fits; }
};

// Whether a text is no longer than its declared size: the judgement of a Text value, which the
// checks of texts ask directly, as it needs nothing else.
constexpr bool fits_declared_size(std::string_view value, std::int64_t declared_size) {
  return static_cast<std::int64_t>(value.size()) <= declared_size;
}

// Judges value by rule; declared_size bounds a Text value. An empty value always fits: an empty
// cell or value holds nothing to check.
inline Judgement judge_value(ValueRule rule, std::string_view value,
                             std::int64_t declared_size = 0) {
  if (value.empty()) return {};
  switch (rule) {
    case ValueRule::Text:
      return {fits_declared_size(value, declared_size) ? Verdict::Fits : Verdict::TooLong};
    case ValueRule::BooleanWord:
      return {is_boolean_word(value) ? Verdict::Fits : Verdict::NotBoolean};
    case ValueRule::BooleanDigit:
      return {is_boolean_digit(value) ? Verdict::Fits : Verdict::NotBoolean};
    case ValueRule::Integer32:
    case ValueRule::Integer64: {
      const bool wide = rule == ValueRule::Integer64;
      if (is_plain_integer(value, wide ? 18 : 9)) return {};
      if (!all_chars_in(value, integer_chars)) return {Verdict::NotInteger};
      const int error_position =
          wide ? convert_int64(value).error_position : convert_int32(value).error_position;
      if (error_position > 0) return {Verdict::IntegerConversion, error_position};
      return {};
    }
    case ValueRule::Float: {
      if (is_plain_float(value)) return {};
      if (!all_chars_in(value, float_chars)) return {Verdict::NotFloat};
      const int error_position = float_error_position(value);
      if (error_position > 0) return {Verdict::FloatConversion, error_position};
      return {};
    }
    case ValueRule::Unchecked:
      return {};
  }
  return {};
}

// The finding of a verdict other than Fits, for a cell of the unit table or a nested value.
constexpr FindingKind finding_kind(Verdict verdict, bool in_list) {
  switch (verdict) {
    case Verdict::Fits:
    case Verdict::TooLong:
      return in_list ? FindingKind::NestedTextTooLong : FindingKind::TextTooLong;
    case Verdict::NotBoolean:
      return in_list ? FindingKind::NestedNotBoolean : FindingKind::NotBoolean;
    case Verdict::NotFloat:
      return in_list ? FindingKind::NestedNotFloat : FindingKind::NotFloat;
    case Verdict::FloatConversion:
      return in_list ? FindingKind::NestedFloatConversion : FindingKind::FloatConversion;
    case Verdict::NotInteger:
      return in_list ? FindingKind::NestedNotInteger : FindingKind::NotInteger;
    case Verdict::IntegerConversion:
      return in_list ? FindingKind::NestedIntegerConversion : FindingKind::IntegerConversion;
  }
  return FindingKind::TextTooLong;
}

}  // namespace unitcheck
