#include "csv/split_unit_row.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace unitcheck {
namespace {

struct UnitRowCase {
  std::string line;
  int field_limit;
  std::vector<std::string> cells;  // delivered in order, at columns 0, 1, 2, ...
  int cell_count;
  bool too_many;
};

const UnitRowCase kUnitRowCases[] = {
    {"a", 5, {"a"}, 1, false},
    {"a,,b", 5, {"a", "", "b"}, 3, false},
    {"ab,cd,ef", 5, {"ab", "cd", "ef"}, 3, false},
    // Blanks and CR are ordinary bytes.
    {" a , b\r", 5, {" a ", " b\r"}, 2, false},
    // Quoted cells: commas are text, no escape, the comma after the closing quote only opens.
    {"\"x,y\",z", 5, {"x,y", "z"}, 2, false},
    {"\"\",z", 5, {"", "z"}, 2, false},
    {"\"a\"\"b\",c", 5, {"a", "b", "c"}, 3, false},
    {"ab\"cd\",e", 5, {"cd", "e"}, 2, false},
    {"\"x\"junk,z", 5, {"x", "z"}, 2, false},
    {"\"x\"", 5, {"x"}, 1, false},
    // Text after a closing quote up to the end of the line: the whole line is the last cell.
    {"\"x\"yz", 5, {"x", "\"x\"yz"}, 2, false},
    {"a,\"x\"y", 5, {"a", "x", "a,\"x\"y"}, 3, false},
    // An unclosed quote and what follows it are the last cell, from after the last comma.
    {"a,\"b", 5, {"a", "\"b"}, 2, false},
    {"a,\"b,c", 5, {"a", "\"b,c"}, 2, false},
    {"a,\"", 5, {"a", "\""}, 2, false},
    {"a,xy\"b", 5, {"a", "xy\"b"}, 2, false},
    {"\"x\"\"y", 5, {"x", "\"x\"\"y"}, 2, false},
    // Trailing comma: one more cell counted but not delivered.
    {"a,b,", 5, {"a", "b"}, 3, false},
    {"a,\"b,", 5, {"a", "\"b,"}, 3, false},
    // After a quoted cell the comma opens a cell that the end of the line delivers empty.
    {"\"x\",", 5, {"x", ""}, 3, false},
    {"a,,", 5, {"a", ""}, 3, false},
    // The field limit: exactly reached at the last byte is not too many.
    {"a,b", 2, {"a", "b"}, 2, false},
    {"a,b,", 2, {"a", "b"}, 3, false},
    {"a,b,c", 2, {"a", "b"}, 2, true},
    {"a,b,c,", 2, {"a", "b"}, 3, true},
    {"a,\"b\"x", 2, {"a", "b"}, 2, true},
    {"\"a\",b", 1, {"a"}, 1, true},
    {"a", 0, {}, 0, true},
    {"a,", 0, {}, 1, true},
};

struct Split {
  std::vector<std::string> cells;
  RowShape shape;
};

template <class Find>
Split split(std::string_view line, int limit, Find find) {
  Split result{{}, {}};
  result.shape = split_unit_row(
      line, limit,
      [&](int column, std::string_view cell) {
        EXPECT_EQ(column, static_cast<int>(result.cells.size()));
        EXPECT_GE(cell.data(), line.data());
        EXPECT_LE(cell.data() + cell.size(), line.data() + line.size());
        result.cells.emplace_back(cell);
      },
      find);
  return result;
}

TEST(SplitUnitRow, CutsCellsAndCountsThem) {
  for (const UnitRowCase& c : kUnitRowCases) {
    SCOPED_TRACE(c.line);
    const Split got = split(c.line, c.field_limit, FindCommaOrQuote{});
    EXPECT_EQ(got.cells, c.cells);
    EXPECT_EQ(got.shape.cell_count, c.cell_count);
    EXPECT_EQ(got.shape.too_many, c.too_many);
  }
}

// The search built for wider vectors cuts every line as the plain one does: random lines of
// commas, quotes and text, long enough that hits fall in its wide steps and in its tail.
TEST(SplitUnitRow, EveryFormOfTheSearchCutsAlike) {
#if defined(UNITCHECK_AVX2_FORMS)
  if (!has_avx2()) GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(5);
  const char alphabet[] = {',', '"', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  for (int round = 0; round < 5000; ++round) {
    std::string line(random() % 200 + 1, 'x');
    const unsigned density = random() % 8 + 1;
    for (char& byte : line)
      if (random() % density == 0) byte = alphabet[random() % sizeof alphabet];
    const int limit = static_cast<int>(random() % 40) - 1;
    const Split plain = split(line, limit, FindCommaOrQuote{});
    const Split wide = split(line, limit, FindCommaOrQuoteAvx2{});
    ASSERT_EQ(wide.cells, plain.cells) << line;
    ASSERT_EQ(wide.shape.cell_count, plain.shape.cell_count) << line;
    ASSERT_EQ(wide.shape.too_many, plain.shape.too_many) << line;
    ASSERT_EQ(wide.shape.stop_offset, plain.shape.stop_offset) << line;
  }
#else
  GTEST_SKIP() << "no AVX2 form in this build";
#endif
}

}  // namespace
}  // namespace unitcheck
