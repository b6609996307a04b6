#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace unitcheck {
namespace {

using testing::TempDir;

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Every backslash becomes a slash, wherever it lies and however many there are in a row.
TEST(ConvertSeparators, EveryBackslashBecomesASlash) {
  const struct {
    std::string path, converted;
  } cases[] = {{"", ""},
               {"plain/path", "plain/path"},
               {"\\", "/"},
               {"a\\b\\\\c\\", "a/b//c/"},
               {std::string(100, 'x') + "\\y", std::string(100, 'x') + "/y"}};
  for (const auto& c : cases) {
    std::string path = c.path;
    convert_separators(path);
    EXPECT_EQ(path, c.converted) << c.path;
  }
}

// A folder whose entries take many reads from the system: every name comes back once, and
// "." and ".." never do.
TEST(FolderEntryNames, ListsEveryEntryOfALargeFolderOnce) {
  const TempDir dir;
  std::vector<std::string> expected;
  for (int i = 0; i < 700; ++i) {
    expected.push_back(std::to_string(i) + std::string(40, 'x') + ".mesh");
    dir.write("big/" + expected.back(), "");
  }
  dir.make_directory("big/sub");
  expected.push_back("sub");
  EXPECT_EQ(sorted(folder_entry_names(dir / "big")), sorted(expected));
}

TEST(FolderEntryNames, NothingWhereNoFolderCanBeListed) {
  const TempDir dir;
  dir.write("units/a/file.mesh", "");
  dir.make_directory("units/empty");
  EXPECT_TRUE(folder_entry_names(dir / "units/empty").empty());
  EXPECT_TRUE(folder_entry_names(dir / "units/missing").empty());
  EXPECT_TRUE(folder_entry_names(dir / "units/a/file.mesh").empty());
  // The system would see only the text before the zero byte, which names another folder.
  EXPECT_TRUE(folder_entry_names((dir / "units/a") + std::string(1, '\0') + "b").empty());
}

}  // namespace
}  // namespace unitcheck
