#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lint/rules.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// A finding as unitlint reports it: its rule, where it lies, and its message in words. Texts
// are views into the finding it describes (valid while that is being reported) except the
// message and the suggestion, which it owns.
struct LintFinding {
  Rule rule{};
  Severity severity = Severity::Error;
  DataFile file = DataFile::UnitTable;
  std::int64_t line = 0;        // 1-based
  std::int64_t column = 1;      // 1-based byte column
  std::int64_t end_column = 1;  // the byte column just past the range; column when empty
  // The same counted in code points, when the format asks for them (0 when not counted).
  std::int64_t char_column = 0;
  std::int64_t end_char_column = 0;
  std::string_view unit_column;  // the unit-table column, as the header names it
  std::string_view table;        // the nested list's table
  std::string_view field;        // the nested list's field
  std::string_view value;        // the offending text
  std::string_view line_text;    // the whole line the finding lies in, when known
  std::string message;           // self-contained, in plain words
  std::string suggestion;        // "did you mean": empty when none
  // A line whose cell count is wrong: the first cell that its likely cause (a decimal comma, a
  // missing comma) moved to another column; -1 when no cause was found.
  std::int64_t moved_from_cell = -1;
  // The findings this one explains, as notes: reported under it, in the order found.
  std::vector<LintFinding> notes;
};

}  // namespace unitcheck::lint
