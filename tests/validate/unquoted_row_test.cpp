#include "validate/unquoted_row.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace unitcheck {
namespace {

struct Cut {
  std::vector<std::string> cells;
  RowShape shape;
};

// Random lines of number-like cells, empty cells, letters and long runs that cross blocks, with
// quotes in one line in three (quoted cells, commas inside them, text around them, a quote left
// open), with limits below, at and above their cell counts: every form of the walk over masks
// cuts the cells split_unit_row cuts, and tells each comma-ended cell shorter than a block
// before the first quote its number shapes exactly (other cells only ever as a true shape or
// none).
template <class Classify>
void check_against_split_unit_row(Classify classify) {
  std::mt19937 random(17);
  const std::vector<std::string> pieces = {",",
                                           ",",
                                           ",",
                                           "0",
                                           "7",
                                           "12.5",
                                           "-3",
                                           "+4.",
                                           ".",
                                           "-",
                                           "e",
                                           "x",
                                           "1234567890123456789",
                                           "-0.25",
                                           std::string(70, '9'),
                                           std::string(130, 'a')};
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    const std::size_t wanted = random() % 400 + 1;
    while (line.size() < wanted) line += pieces[random() % pieces.size()];
    if (round % 3 == 0) {
      for (std::size_t quotes = random() % 3 + 1; quotes > 0; --quotes) {
        line.insert(random() % (line.size() + 1), random() % 2 == 0 ? "\"" : "\"{a;1,2}\"");
      }
    }
    const std::size_t first_quote = line.find('"');
    const int limit = static_cast<int>(random() % 60) - 1;
    Cut expected{{}, {}};
    expected.shape = split_unit_row(
        line, limit, [&](int, std::string_view cell) { expected.cells.emplace_back(cell); });
    Cut got{{}, {}};
    got.shape = split_row_by_masks(
        line, limit, classify, [&](int column, std::string_view cell, CellNumbers numbers) {
          ASSERT_EQ(column, static_cast<int>(got.cells.size()));
          got.cells.emplace_back(cell);
          const bool comma_ended = cell.data() + cell.size() < line.data() + line.size();
          const bool before_quote =
              static_cast<std::size_t>(cell.data() + cell.size() - line.data()) < first_quote;
          if (comma_ended && before_quote && cell.size() < 64) {
            ASSERT_EQ(numbers.plain_float, cell.empty() || is_plain_float(cell)) << cell;
            ASSERT_EQ(numbers.plain_integer, cell.empty() || is_plain_integer(cell, 18)) << cell;
          } else {
            ASSERT_TRUE(!numbers.plain_float || is_plain_float(cell)) << cell;
            ASSERT_TRUE(!numbers.plain_integer || is_plain_integer(cell, 18)) << cell;
          }
        });
    ASSERT_EQ(got.cells, expected.cells) << line << " limit " << limit;
    ASSERT_EQ(got.shape.cell_count, expected.shape.cell_count) << line << " limit " << limit;
    ASSERT_EQ(got.shape.too_many, expected.shape.too_many) << line << " limit " << limit;
    if (expected.shape.too_many) {
      ASSERT_EQ(got.shape.stop_offset, expected.shape.stop_offset);
    }
  }
}

TEST(RowByMasks, EveryFormCutsAsSplitUnitRow) {
  check_against_split_unit_row(CommaBlocksPlain{});
  check_against_split_unit_row(CommaBlocks{});
#if defined(UNITCHECK_AVX2_FORMS)
  if (has_avx2()) check_against_split_unit_row(CommaBlocksAvx2{});
#endif
}

}  // namespace
}  // namespace unitcheck
