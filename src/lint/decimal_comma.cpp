#include "lint/decimal_comma.h"

#include <vector>

#include "csv/split_unit_row.h"
#include "tables/convert.h"
#include "validate/char_sets.h"

namespace unitcheck::lint {

namespace {

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool is_whole_number(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  return all_digits(text);
}

// Whether a cell would pass its column's check, as far as its text alone tells.
bool fits(const ColumnPlan& column, std::string_view cell) {
  if (cell.empty()) return true;
  switch (column.kind) {
    case CellKind::Boolean:
      return is_boolean_word(cell);
    case CellKind::Float:
      return all_chars_in(cell, float_chars) && float_error_position(cell) == 0;
    case CellKind::Int64:
      return all_chars_in(cell, integer_chars) && convert_int64(cell).error_position == 0;
    case CellKind::Nested:
      return cell.starts_with('{');
    default:
      return true;
  }
}

// How many cells misfit their columns when cells joined and joined + 1 are read as one (no
// cells joined when joined is npos).
std::size_t misfits(std::span<const std::string_view> cells, std::span<const ColumnPlan> columns,
                    std::size_t joined) {
  std::size_t count = 0;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::size_t cell = c > joined ? c + 1 : c;
    if (cell < cells.size() && !fits(columns[c], cells[cell])) ++count;
  }
  return count;
}

// Whether cells c and c + 1 read as a number with a decimal comma in a floating-point column.
bool looks_split(std::span<const std::string_view> cells, std::span<const ColumnPlan> columns,
                 std::size_t c) {
  if (c + 1 >= cells.size() || columns[c].kind != CellKind::Float) return false;
  const std::string_view whole = cells[c];
  const std::string_view fraction = cells[c + 1];
  // Next to each other in the line, one comma apart: neither was quoted.
  return fraction.data() == whole.data() + whole.size() + 1 && is_whole_number(whole) &&
         all_digits(fraction);
}

}  // namespace

std::optional<DecimalComma> find_decimal_comma(std::string_view line,
                                               std::span<const ColumnPlan> columns) {
  if (line.empty() || line.front() == ',' || columns.empty()) return std::nullopt;
  // Past the last column and the one cell a join moves into it, cells do not matter: a hostile
  // line of millions of commas costs no more than a plain one.
  std::vector<std::string_view> cells;
  split_unit_row(line, static_cast<int>(columns.size()) + 2,
                 [&](int, std::string_view cell) { cells.push_back(cell); });
  std::size_t best_misfits = misfits(cells, columns, std::string_view::npos);
  std::optional<DecimalComma> best;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (!looks_split(cells, columns, c)) continue;
    const std::size_t count = misfits(cells, columns, c);
    if (count >= best_misfits) continue;
    best_misfits = count;
    const std::string_view text(cells[c].data(), cells[c].size() + 1 + cells[c + 1].size());
    best = DecimalComma{static_cast<std::int64_t>(c), cells[c].data() - line.data(), text};
  }
  return best;
}

}  // namespace unitcheck::lint
