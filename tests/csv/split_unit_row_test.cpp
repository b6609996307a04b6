#include "csv/split_unit_row.h"

#include <gtest/gtest.h>

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

TEST(SplitUnitRow, CutsCellsAndCountsThem) {
  for (const UnitRowCase& c : kUnitRowCases) {
    SCOPED_TRACE(c.line);
    std::vector<std::string> cells;
    const RowShape shape =
        split_unit_row(c.line, c.field_limit, [&](int column, std::string_view cell) {
          EXPECT_EQ(column, static_cast<int>(cells.size()));
          EXPECT_GE(cell.data(), c.line.data());
          EXPECT_LE(cell.data() + cell.size(), c.line.data() + c.line.size());
          cells.emplace_back(cell);
        });
    EXPECT_EQ(cells, c.cells);
    EXPECT_EQ(shape.cell_count, c.cell_count);
    EXPECT_EQ(shape.too_many, c.too_many);
  }
}

}  // namespace
}  // namespace unitcheck
