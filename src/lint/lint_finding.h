#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lint/header_checks.h"
#include "lint/rules.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// A replacement of bytes of the finding's line that mends it: what an editor's quick fix does.
struct Fix {
  std::int64_t column = 0;      // 1-based byte column of the first byte replaced; 0: no fix
  std::int64_t end_column = 0;  // the byte column just past the last
  std::string replacement;

  bool any() const { return column > 0; }
};

// What a wrong cell count was traced to, in the line's own text.
struct LineCause {
  enum class Kind : std::uint8_t { None, DecimalComma, MissingComma };
  Kind kind = Kind::None;
  std::string_view column;  // where it lies
  std::string_view text;    // the number with a decimal comma, or the cell holding two values
  // A missing comma: the column of the first of the two values when it is not column's own
  // (empty when it is), and the column that then gets no cell of its own (empty when none).
  std::string_view first_column;
  std::string_view next_column;
};

// Where a lint finding comes from.
enum class Origin : std::uint8_t { UnitTable, Header, Run };

// A finding as unitlint reports it: its rule, where it lies, what mends it, and its message in
// words. enrich fills in everything but the message, which word makes from the facts alone.
// Texts are views into the finding it describes (valid while that is being reported) except the
// message, the suggestion and the fix, which it owns.
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
  Fix fix;                       // the suggestion put in place, when its place is known
  // A line whose cell count is wrong: the first cell that its likely cause (a decimal comma, a
  // missing comma) moved to another column; -1 when no cause was found.
  std::int64_t moved_from_cell = -1;
  // The findings this one explains, as notes: reported under it, in the order found.
  std::vector<LintFinding> notes;

  // The facts the words are made of.
  Origin origin = Origin::UnitTable;
  const Finding* source = nullptr;  // UnitTable: the check's finding, while it is reported
  HeaderFinding header;             // Header: the header's
  std::int64_t keyless = 0;         // Run, no unit checked: the lines passed over for their key
  std::int64_t group_fields = 0;    // too many values: the fields of the group
  std::int64_t extra_values = 1;    // too many values: how many this one finding stands for
  bool suggests_part = false;       // cargo: the suggestion is a part name, not a category
  LineCause cause;                  // a wrong cell count's cause
};

}  // namespace unitcheck::lint
