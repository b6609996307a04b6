#include "validate/path_bounds.h"

#include <gtest/gtest.h>

#include <string_view>

namespace unitcheck {
namespace {

// A cell's text alone: where ".." takes it from a folder one level down, with either separator,
// doubled separators and "." steps counting for nothing; absolute by a leading separator or a
// drive letter.
TEST(PathBounds, DepthFollowsDotsAndSeparatorsAndStopsAboveTheRoot) {
  const struct {
    std::string_view cell;
    int depth;
  } cases[] = {
      {"hornet", 2},
      {"", 1},
      {".", 1},
      {"..", 0},
      {"../..", -1},
      {"..\\..\\etc", -1},
      {"a/../..", 0},
      {"a/../../..", -1},
      {"./a//b/./", 3},
      {"../units/hornet", 2},
      {"...", 2},
      {"..a/..", 1},
      {"a/b/../../../..", -1},
      {"a\\..\\..", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(depth_after(1, c.cell), c.depth) << c.cell;
  EXPECT_EQ(depth_after(0, ".."), -1);

  for (std::string_view cell : {"/etc", "\\etc", "C:\\games", "c:games", "//server/share"})
    EXPECT_TRUE(is_absolute_cell(cell)) << cell;
  for (std::string_view cell : {"etc", "", "1:2", "a/b:c", ".:x", "hornet:"})
    EXPECT_FALSE(is_absolute_cell(cell)) << cell;
}

}  // namespace
}  // namespace unitcheck
