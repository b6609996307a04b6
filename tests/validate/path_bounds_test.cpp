#include "validate/path_bounds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
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

// The word-at-a-time test of a name alone against the byte-at-a-time one, on every placement of
// the bytes it looks for around the edges of its 8-byte blocks.
TEST(PathBounds, ANameAloneIsToldEightBytesAtATimeAsByteByByte) {
  const auto plain = [](std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '/' || text[i] == '\\') return false;
      if (i > 0 && text[i] == '.' && text[i - 1] == '.') return false;
    }
    return true;
  };
  std::uint64_t state = 88172645463325252u;
  const std::string_view alphabet("ab.\x2f\\\0\x80\xae", 8);  // '/' as \x2f; 0xae is '.' + 0x80
  for (int round = 0; round < 20000; ++round) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    std::string text(state % 24, 'x');
    std::uint64_t bits = state;
    for (char& c : text) {
      // Mostly letters, so that the sought bytes fall alone and in pairs across block edges.
      c = (bits & 3) != 0 ? 'n' : alphabet[(bits >> 2) % alphabet.size()];
      bits = bits * 6364136223846793005u + 1442695040888963407u;
    }
    ASSERT_EQ(is_name_alone(text), plain(text)) << text;
  }
  EXPECT_TRUE(is_name_alone("hornet_shield.mesh"));
  EXPECT_FALSE(is_name_alone("1234567.."));  // the pair across a block's edge
  EXPECT_FALSE(is_name_alone("abcdefg./"));
}

}  // namespace
}  // namespace unitcheck
