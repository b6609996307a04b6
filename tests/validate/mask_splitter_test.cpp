#include "validate/mask_splitter.h"

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
// quotes in one line in three (up to eight: quoted cells, commas inside them, text around them,
// a quote left open), with limits below, at and above their cell counts: every form of the walk
// over masks cuts the cells split_unit_row cuts, and tells each comma-ended cell shorter than a
// block before the first quote its number shapes exactly (other cells only ever as a true shape or
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
      for (std::size_t quotes = random() % 8 + 1; quotes > 0; --quotes) {
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
            ASSERT_TRUE(!numbers.plain_float || cell.empty() || is_plain_float(cell)) << cell;
            ASSERT_TRUE(!numbers.plain_integer || cell.empty() || is_plain_integer(cell, 18))
                << cell;
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

// With runs of floating-point columns, the cells a form does not deliver are comma-ended cells
// of such columns that are empty or plain numbers, and every cell it delivers is split_unit_row's
// cell of its column; the shapes are the same.
template <class Classify>
void check_float_runs_pass_only_plain_numbers(Classify classify) {
  std::mt19937 random(19);
  const std::vector<std::string> pieces = {
      ",", ",", ",", "0", "12.5", "-3", "+4.", ".", "x", "1e3", std::string(70, '9'), "\"q,r\""};
  int passed = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    const std::size_t wanted = random() % 300 + 1;
    while (line.size() < wanted) line += pieces[random() % pieces.size()];
    std::vector<unsigned char> runs(random() % 80);
    for (std::size_t i = runs.size(); i-- > 0;)
      if (random() % 4 != 0) runs[i] = i + 1 < runs.size() ? runs[i + 1] + 1 : 1;
    const int limit = static_cast<int>(random() % 70) - 1;
    std::vector<std::string_view> expected;
    const RowShape expected_shape =
        split_unit_row(line, limit, [&](int, std::string_view cell) { expected.push_back(cell); });
    std::vector<bool> delivered(expected.size());
    const RowShape shape = split_row_by_masks(
        line, limit, classify,
        [&](int column, std::string_view cell, CellNumbers) {
          const auto at = static_cast<std::size_t>(column);
          ASSERT_LT(at, expected.size());
          ASSERT_EQ(cell.data(), expected[at].data()) << line;
          ASSERT_EQ(cell, expected[at]) << line;
          delivered[at] = true;
        },
        runs);
    for (std::size_t at = 0; at < expected.size(); ++at) {
      if (delivered[at]) continue;
      ++passed;
      const std::string_view cell = expected[at];
      ASSERT_TRUE(at < runs.size() && runs[at] > 0) << line << " column " << at;
      ASSERT_TRUE(cell.empty() || is_plain_float(cell)) << line << " column " << at;
      ASSERT_LT(cell.data() + cell.size(), line.data() + line.size());
      ASSERT_EQ(line[cell.data() + cell.size() - line.data()], ',');
    }
    ASSERT_EQ(shape.cell_count, expected_shape.cell_count) << line << " limit " << limit;
    ASSERT_EQ(shape.too_many, expected_shape.too_many) << line << " limit " << limit;
    if (expected_shape.too_many) {
      ASSERT_EQ(shape.stop_offset, expected_shape.stop_offset);
    }
  }
  EXPECT_GT(passed, 1000);  // the runs did let cells pass
}

TEST(RowByMasks, FloatRunsPassOnlyPlainNumbers) {
  check_float_runs_pass_only_plain_numbers(CommaBlocksPlain{});
  check_float_runs_pass_only_plain_numbers(CommaBlocks{});
#if defined(UNITCHECK_AVX2_FORMS)
  if (has_avx2()) check_float_runs_pass_only_plain_numbers(CommaBlocksAvx2{});
#endif
}

// A run of floating-point columns that the field limit cuts short lets its cells pass only up to
// the limit, and a run cut to one cell delivers that cell; the cell past the limit stops the split.
template <class Classify>
void check_runs_at_the_limit(Classify classify) {
  struct Case {
    std::vector<unsigned char> runs;
    int limit;
    std::vector<int> delivered;
    bool too_many;
  };
  const std::vector<unsigned char> all = {7, 6, 5, 4, 3, 2, 1, 0};
  const std::vector<unsigned char> middle = {0, 0, 3, 2, 1, 0, 0, 0};
  const Case cases[] = {
      {all, 1, {0}, true},          {all, 2, {}, true},
      {all, 6, {}, true},           {all, 7, {6}, false},
      {all, 8, {6}, false},         {middle, 3, {0, 1, 2}, true},
      {middle, 4, {0, 1}, true},    {middle, 5, {0, 1}, true},
      {middle, 6, {0, 1, 5}, true}, {middle, 8, {0, 1, 5, 6}, false},
  };
  for (const Case& c : cases) {
    std::vector<int> delivered;
    const RowShape shape = split_row_by_masks(
        "1,2,3,4,5,6,7", c.limit, classify,
        [&](int column, std::string_view, CellNumbers) { delivered.push_back(column); }, c.runs);
    EXPECT_EQ(delivered, c.delivered) << "limit " << c.limit;
    EXPECT_EQ(shape.too_many, c.too_many) << "limit " << c.limit;
  }
}

TEST(RowByMasks, FloatRunsStopAtTheFieldLimit) {
  check_runs_at_the_limit(CommaBlocksPlain{});
  check_runs_at_the_limit(CommaBlocks{});
#if defined(UNITCHECK_AVX2_FORMS)
  if (has_avx2()) check_runs_at_the_limit(CommaBlocksAvx2{});
#endif
}

// After a quoted cell and the comma that follows it the masks take up again: the cells after it
// are told their number shapes, up to the last quoted cell the masks take up after.
template <class Classify>
void check_masks_after_quoted_cells(Classify classify) {
  std::string line = "\"a,b\"x,1.5,-2,zz,";
  for (int k = 0; k < kQuotedStretchesByMasks; ++k) line += "\"q\",7,";
  const std::string last = "\"r\",8,9";
  line += last;
  std::vector<std::string> plain_floats;
  std::vector<std::string> cells;
  const RowShape shape =
      split_row_by_masks(line, 100, classify, [&](int, std::string_view cell, CellNumbers numbers) {
        cells.emplace_back(cell);
        if (numbers.plain_float) plain_floats.emplace_back(cell);
      });
  std::vector<std::string> expected_cells = {"a,b", "1.5", "-2", "zz"};
  for (int k = 0; k < kQuotedStretchesByMasks; ++k)
    expected_cells.insert(expected_cells.end(), {"q", "7"});
  expected_cells.insert(expected_cells.end(), {"r", "8", "9"});
  EXPECT_EQ(cells, expected_cells);
  EXPECT_EQ(shape.cell_count, static_cast<int>(expected_cells.size()));
  // The fifth quoted cell's line is cut by the rules to its end: 8 is not told, nor is the
  // last cell ever.
  std::vector<std::string> expected_floats = {"1.5", "-2"};
  for (int k = 0; k + 1 < kQuotedStretchesByMasks; ++k) expected_floats.push_back("7");
  EXPECT_EQ(plain_floats, expected_floats);
}

TEST(RowByMasks, MasksTakeUpAgainAfterQuotedCells) {
  check_masks_after_quoted_cells(CommaBlocksPlain{});
  check_masks_after_quoted_cells(CommaBlocks{});
#if defined(UNITCHECK_AVX2_FORMS)
  if (has_avx2()) check_masks_after_quoted_cells(CommaBlocksAvx2{});
#endif
}

// The worked example above split_row_by_masks, in every form.
template <class Classify>
void check_worked_example(Classify classify) {
  std::vector<std::string> cells;
  std::vector<bool> plain_integers;
  const RowShape shape = split_row_by_masks(R"(ab,"c,d",7,)", 5, classify,
                                            [&](int, std::string_view cell, CellNumbers numbers) {
                                              cells.emplace_back(cell);
                                              plain_integers.push_back(numbers.plain_integer);
                                            });
  EXPECT_EQ(cells, (std::vector<std::string>{"ab", "c,d", "7"}));
  EXPECT_EQ(plain_integers, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(shape.cell_count, 4);
  EXPECT_FALSE(shape.too_many);
}

TEST(RowByMasks, TheWorkedExampleInEveryForm) {
  check_worked_example(CommaBlocksPlain{});
  check_worked_example(CommaBlocks{});
#if defined(UNITCHECK_AVX2_FORMS)
  if (has_avx2()) check_worked_example(CommaBlocksAvx2{});
#endif
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
