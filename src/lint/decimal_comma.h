#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "validate/column_plan.h"

namespace unitcheck::lint {

// A number written with a decimal comma ("14,5"), which cut one cell of a unit line in two and
// moved every later cell one column on.
struct DecimalComma {
  std::int64_t cell = 0;    // the first of the two cells, counted from 0
  std::int64_t offset = 0;  // its byte offset in the line
  std::string_view text;    // "14,5", as the line holds it
};

// Whether a cell would pass its column's check, as far as its text alone tells (files and
// lookups aside).
bool cell_fits(const ColumnPlan& column, std::string_view cell);

// The decimal comma that best explains a line with too many cells: a floating-point column
// whose cell is a whole number followed by a cell of digits, such that joining the two makes
// fewer of the line's cells misfit their columns than before. The first such when several
// explain it as well; none when nothing does. columns are the header's, by index.
std::optional<DecimalComma> find_decimal_comma(std::string_view line,
                                               std::span<const ColumnPlan> columns);

// Where a comma seems to be missing in a line with one cell too few: every column before cell
// keeps its own cell, cell holds two values, and each later cell belongs one column further on,
// such that fewer cells misfit their columns than as they stand. Cells of alike columns often
// explain it as well a few places earlier: first_cell is the earliest such place, cell the last
// one up to the first cell that misfits as it stands. None when nothing explains the line.
struct MissingComma {
  std::int64_t cell = 0;        // the cell that seems to hold two
  std::int64_t first_cell = 0;  // the earliest place that explains the line as well
  std::int64_t offset = 0;      // the cell's byte offset in the line
  std::string_view text;        // that cell
};
std::optional<MissingComma> find_missing_comma(std::string_view line,
                                               std::span<const ColumnPlan> columns);

}  // namespace unitcheck::lint
