#include "csv/split_delimited_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
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
    // Unquoted texts of several cells on one line stay intact side by side.
    {"\"a\"\"b\",\"c\"\"\"\"d\",x,\"e\"\"\"", {"a\"b", "c\"\"d", "x", "e\""}},
};

TEST(SplitDelimitedText, CutsCells) {
  // Both lists are reused across lines, as the loader does.
  std::vector<std::string_view> cells;
  std::string unquoted;
  std::vector<std::string> copies;
  for (const DelimitedCase& c : kDelimitedCases) {
    SCOPED_TRACE(c.line);
    split_delimited_text(c.line, cells, unquoted);
    EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.end()), c.cells);
    split_delimited_text(c.line, copies);
    EXPECT_EQ(copies, c.cells);
  }
}

// Many cells with doubled quotes on a line longer than any before: every cell still reads back
// whole once the line is cut, so no unquoting moved the texts of earlier cells.
TEST(SplitDelimitedText, UnquotedCellsSurviveALongLine) {
  std::vector<std::string_view> cells;
  std::string unquoted;
  split_delimited_text("\"a\"\"\"", cells, unquoted);
  std::string line;
  std::vector<std::string> expected;
  for (int i = 0; i < 500; ++i) {
    const std::string text = std::to_string(i) + std::string(i % 40, 'q');
    line += (i == 0 ? "\"" : ",\"") + text + "\"\"\"";
    expected.push_back(text + "\"");
  }
  split_delimited_text(line, cells, unquoted);
  EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.end()), expected);
}

// An unquoted cell ends at its first blank (any byte up to 32) or comma wherever that falls,
// near the line's start or end; bytes of 128 and up are text.
TEST(SplitDelimitedText, UnquotedCellsEndWhereverTheirEndFalls) {
  std::vector<std::string_view> cells;
  std::string unquoted;
  for (std::size_t length = 1; length <= 40; ++length) {
    for (const char end : {'\0', '\t', '\x1f', ' ', ','}) {
      for (const char text : {'a', '!', '\x80', '\xff'}) {
        for (std::size_t after = 0; after <= 20; after += 4) {
          const std::string first(length, text);
          const std::string rest(after, 'z');
          const std::string line = first + end + rest;
          split_delimited_text(line, cells, unquoted);
          std::vector<std::string> expected = {first, rest};
          if (after == 0 && end != ',') expected.pop_back();  // a blank at the end ends nothing
          ASSERT_EQ(std::vector<std::string>(cells.begin(), cells.end()), expected)
              << length << " " << int{end} << " " << after;
        }
      }
    }
  }
}

}  // namespace
}  // namespace unitcheck
