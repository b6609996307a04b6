#include "csv/split_delimited_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace unitcheck {
namespace {

struct DelimitedCase {
  std::string line;
  std::vector<std::string> cells;
};

const DelimitedCase kDelimitedCases[] = {
    // Empty cells: adjacent, leading and trailing commas; none for an empty or blank line.
    {"", {}},
    {" \t\r\x01", {}},
    {"a,,b", {"a", "", "b"}},
    {",a", {"", "a"}},
    {",", {"", ""}},
    {"a,b,", {"a", "b", ""}},
    {"a,b,\r", {"a", "b", ""}},
    {"a,  ,b", {"a", "", "b"}},
    // Blanks (0 to 32) separate cells and merge with an adjacent comma; 128 to 255 are text.
    {"   x   ", {"x"}},
    {"a b", {"a", "b"}},
    {"a , b\r", {"a", "b"}},
    {std::string("a\0b\x1f\x80", 5), {"a", "b", "\x80"}},
    // Quoted cells hold commas, blanks and doubled quotes; text after the closing quote is a cell.
    {"a,\"b \"\"x\"\"\",d", {"a", "b \"x\"", "d"}},
    {"\"x, y\"z,w", {"x, y", "z", "w"}},
    {"\"\"", {""}},
    {" \"a\" , \"b\" ", {"a", "b"}},
    {"\"unclosed, text", {"unclosed, text"}},
    {"\"ab\"\"", {"ab\""}},
    // A quote inside an unquoted cell is an ordinary byte.
    {"a\"b,c\"", {"a\"b", "c\""}},
};

TEST(SplitDelimitedText, CutsCells) {
  std::vector<std::string> cells;  // reused across lines, as the loader does
  for (const DelimitedCase& c : kDelimitedCases) {
    SCOPED_TRACE(c.line);
    split_delimited_text(c.line, cells);
    EXPECT_EQ(cells, c.cells);
  }
}

}  // namespace
}  // namespace unitcheck
