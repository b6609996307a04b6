#include "server/changed_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace unitcheck::server {
namespace {

// Random edits of a list of lines, each line a number never used before: after any number of
// them, the lines outside the change are those of the first list, moved as it says.
TEST(ChangedLines, EditsAddUpToOneRegion) {
  std::mt19937 random(23);
  int fresh = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<int> first(1 + random() % 8);
    for (int& line : first) line = fresh++;
    std::vector<int> now = first;
    ChangedLines changed;
    for (int edit = 0; edit < 1 + round % 5; ++edit) {
      const std::size_t begin = random() % now.size();
      const std::size_t removed = 1 + random() % (now.size() - begin);
      const std::size_t added = 1 + random() % 3;
      now.erase(now.begin() + begin, now.begin() + begin + removed);
      for (std::size_t i = 0; i < added; ++i) now.insert(now.begin() + begin, fresh++);
      changed = add_edit(changed, begin, removed, added);
    }
    ASSERT_LE(changed.first + changed.old_count, first.size());
    ASSERT_EQ(first.size() - changed.old_count, now.size() - changed.new_count);
    for (std::size_t line = 0; line < changed.first; ++line) ASSERT_EQ(now[line], first[line]);
    for (std::size_t after = 0; changed.first + changed.new_count + after < now.size(); ++after) {
      ASSERT_EQ(now[changed.first + changed.new_count + after],
                first[changed.first + changed.old_count + after]);
    }
  }
}

TEST(ChangedLines, Examples) {
  EXPECT_EQ(add_edit({}, 4, 1, 1), (ChangedLines{4, 1, 1}));
  // A line added after the change, then one removed before it.
  EXPECT_EQ(add_edit({4, 1, 1}, 9, 1, 2), (ChangedLines{4, 6, 7}));
  EXPECT_EQ(add_edit({4, 6, 7}, 1, 2, 1), (ChangedLines{1, 9, 9}));
}

}  // namespace
}  // namespace unitcheck::server
