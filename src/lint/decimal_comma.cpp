#include "lint/decimal_comma.h"

#include <vector>

#include "csv/split_unit_row.h"
#include "validate/cell_judge.h"

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

// The line's cells up to two past the last column: past those, cells do not matter, and a
// hostile line of millions of commas costs no more than a plain one.
std::vector<std::string_view> cells_of(std::string_view line, std::span<const ColumnPlan> columns) {
  std::vector<std::string_view> cells;
  split_unit_row(line, static_cast<int>(columns.size()) + 2,
                 [&](int, std::string_view cell) { cells.push_back(cell); });
  return cells;
}

// For each c, how many of columns [0, c) misfit their cells as they stand.
std::vector<std::size_t> misfits_as_they_stand(std::span<const std::string_view> cells,
                                               std::span<const ColumnPlan> columns) {
  std::vector<std::size_t> misfits(columns.size() + 1, 0);
  for (std::size_t c = 0; c < columns.size(); ++c)
    misfits[c + 1] = misfits[c] + (c < cells.size() && !cell_fits(columns[c], cells[c]) ? 1 : 0);
  return misfits;
}

}  // namespace

// Whether a cell would pass its column's check, as far as its text alone tells.
bool cell_fits(const ColumnPlan& column, std::string_view cell) {
  if (cell.empty()) return true;
  switch (column.kind) {
    case CellKind::Boolean:
      return judge_value(ValueRule::BooleanWord, cell).fits();
    case CellKind::Float:
      return judge_value(ValueRule::Float, cell).fits();
    case CellKind::Int64:
      return judge_value(ValueRule::Integer64, cell).fits();
    case CellKind::Nested:
      return cell.starts_with('{');
    default:
      return true;
  }
}

std::optional<MissingComma> find_missing_comma(std::string_view line,
                                               std::span<const ColumnPlan> columns) {
  if (line.empty() || line.front() == ',' || columns.empty()) return std::nullopt;
  const std::vector<std::string_view> cells = cells_of(line, columns);
  const std::size_t count = columns.size();
  if (cells.size() + 1 != count) return std::nullopt;
  // A comma missing in cell k leaves columns [0, k) with their own cells and gives each column
  // c > k the cell c - 1; column k holds two values and is not counted.
  const std::vector<std::size_t> misfits_before = misfits_as_they_stand(cells, columns);
  std::vector<std::size_t> misfits_after(count + 1, 0);  // of columns [c, count), moved on
  for (std::size_t c = count; c-- > 1;)
    misfits_after[c] = misfits_after[c + 1] + (!cell_fits(columns[c], cells[c - 1]) ? 1 : 0);
  // Cells of alike columns fit a column on as well as their own, so several places often explain
  // the line equally. The comma is missing at or before the first cell that misfits as it
  // stands; the place is the last such one, and the first equal one says how far back it may be.
  std::size_t first_misfit = 0;
  while (first_misfit < count && misfits_before[first_misfit + 1] == 0) ++first_misfit;
  std::size_t best_misfits = misfits_before[count];
  std::optional<MissingComma> best;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const std::size_t misfits = misfits_before[k] + misfits_after[k + 1];
    if (misfits > best_misfits || (misfits == best_misfits && (!best || k > first_misfit)))
      continue;
    const std::int64_t first =
        best && misfits == best_misfits ? best->first_cell : static_cast<std::int64_t>(k);
    best_misfits = misfits;
    best =
        MissingComma{static_cast<std::int64_t>(k), first, cells[k].data() - line.data(), cells[k]};
  }
  return best;
}

std::optional<DecimalComma> find_decimal_comma(std::string_view line,
                                               std::span<const ColumnPlan> columns) {
  if (line.empty() || line.front() == ',' || columns.empty()) return std::nullopt;
  const std::vector<std::string_view> cells = cells_of(line, columns);
  // Joining cells j and j + 1 leaves every column up to j with its own cell and gives each later
  // column the cell after its own. So the misfits of a join are those of the columns up to j as
  // they stand plus those of the later columns shifted, counted once for the whole line.
  const std::size_t count = columns.size();
  const std::vector<std::size_t> misfits_before = misfits_as_they_stand(cells, columns);
  std::vector<std::size_t> misfits_after(count + 1, 0);  // of columns [c, count) shifted
  for (std::size_t c = count; c-- > 0;)
    misfits_after[c] = misfits_after[c + 1] +
                       (c + 1 < cells.size() && !cell_fits(columns[c], cells[c + 1]) ? 1 : 0);
  std::size_t best_misfits = misfits_before[count];
  std::optional<DecimalComma> best;
  for (std::size_t c = 0; c < count; ++c) {
    if (!looks_split(cells, columns, c)) continue;
    const std::size_t misfits = misfits_before[c + 1] + misfits_after[c + 1];
    if (misfits >= best_misfits) continue;
    best_misfits = misfits;
    const std::string_view text(cells[c].data(), cells[c].size() + 1 + cells[c + 1].size());
    best = DecimalComma{static_cast<std::int64_t>(c), cells[c].data() - line.data(), text};
  }
  return best;
}

}  // namespace unitcheck::lint
