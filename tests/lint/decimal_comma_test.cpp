#include "lint/decimal_comma.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "csv/split_unit_row.h"

namespace unitcheck::lint {
namespace {

// The search written plainly: every join tried, every column judged again for each.
bool digits_only(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::int64_t> plain_search(std::string_view line,
                                         const std::vector<ColumnPlan>& columns) {
  std::vector<std::string_view> cells;
  split_unit_row(line, static_cast<int>(columns.size()) + 2,
                 [&](int, std::string_view cell) { cells.push_back(cell); });
  const auto misfits = [&](std::size_t joined) {
    std::size_t count = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const std::size_t cell = c > joined ? c + 1 : c;
      if (cell < cells.size() && !cell_fits(columns[c], cells[cell])) ++count;
    }
    return count;
  };
  std::size_t best_misfits = misfits(std::string_view::npos);
  std::optional<std::int64_t> best;
  for (std::size_t c = 0; c + 1 < cells.size() && c < columns.size(); ++c) {
    std::string_view whole = cells[c];
    if (columns[c].kind != CellKind::Float || !digits_only(cells[c + 1]) ||
        cells[c + 1].data() != whole.data() + whole.size() + 1)
      continue;
    if (whole.starts_with('-')) whole.remove_prefix(1);
    if (!digits_only(whole)) continue;
    if (const std::size_t count = misfits(c); count < best_misfits) {
      best_misfits = count;
      best = static_cast<std::int64_t>(c);
    }
  }
  return best;
}

// Lines whose cells mostly fit their columns, some with a number written with a decimal comma,
// some with cells of every sort at random: the search must pick the join the plain search picks,
// or none when it picks none.
TEST(DecimalComma, ChoosesTheJoinThePlainSearchChooses) {
  static constexpr std::string_view kAnyCells[] = {"",     "1",    "-2", "3.5",     "12",  "x",
                                                   "true", "{a;}", "07", "\"4,5\"", "1e3", "-"};
  static constexpr CellKind kKinds[] = {CellKind::Float,   CellKind::Float,  CellKind::Int64,
                                        CellKind::Boolean, CellKind::Nested, CellKind::Text};
  const auto fitting_cell = [](CellKind kind) -> std::string_view {
    switch (kind) {
      case CellKind::Float:
        return "3.5";
      case CellKind::Int64:
        return "7";
      case CellKind::Boolean:
        return "true";
      case CellKind::Nested:
        return "{a;}";
      default:
        return "x";
    }
  };
  std::mt19937 random(32);
  int joins = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<ColumnPlan> columns(1 + random() % 12);
    for (ColumnPlan& column : columns) column.kind = kKinds[random() % std::size(kKinds)];
    std::string line = "u";
    for (std::size_t c = 1; c < columns.size() + random() % 3; ++c) {
      line += ',';
      const CellKind kind = c < columns.size() ? columns[c].kind : CellKind::Text;
      if (random() % 4 == 0) {
        line += kAnyCells[random() % std::size(kAnyCells)];
      } else if (kind == CellKind::Float && random() % 4 == 0) {
        line += random() % 2 == 0 ? "14,5" : "-2,75";
      } else {
        line += fitting_cell(kind);
      }
    }
    const std::optional<DecimalComma> found = find_decimal_comma(line, columns);
    const std::optional<std::int64_t> expected = plain_search(line, columns);
    ASSERT_EQ(found.has_value(), expected.has_value()) << line;
    if (!found) continue;
    ++joins;
    EXPECT_EQ(found->cell, *expected) << line;
    EXPECT_EQ(line.substr(static_cast<std::size_t>(found->offset), found->text.size()),
              found->text);
    EXPECT_NE(found->text.find(','), std::string_view::npos) << line;
  }
  EXPECT_GT(joins, 300);  // the lines do call for joins
}

}  // namespace
}  // namespace unitcheck::lint
