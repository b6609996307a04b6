#include "lint/folder_listings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace unitcheck::lint {
namespace {

std::vector<std::string> sorted_names(std::string_view listing) {
  std::vector<std::string> names;
  for_each_entry(listing, [&](std::string_view name) { names.emplace_back(name); });
  std::sort(names.begin(), names.end());
  return names;
}

// Listings are kept while they fit the bounds; a folder past them is listed anew each time,
// with the same answer, so that memory stays bounded whatever the folders hold.
TEST(FolderListings, KeepsListingsWithinItsBoundsAndListsTheOthersAnew) {
  testing::TempDir dir;
  for (const char* name : {"a/x.mesh", "a/y.mesh", "a/z.mesh", "b/1", "b/2", "b/3", "b/4"})
    dir.write(name, "");
  dir.make_directory("a/sub");
  FolderListings listings(/*kept_folders=*/8, /*kept_names=*/5);
  const std::string a = dir / "a", b = dir / "b";

  std::string scratch;
  const std::string_view first_a = listings.entries(a, scratch);
  EXPECT_EQ(sorted_names(first_a), (std::vector<std::string>{"sub", "x.mesh", "y.mesh", "z.mesh"}));
  std::string other_scratch;
  const std::string_view second_a = listings.entries(a, other_scratch);
  EXPECT_EQ(second_a.data(), first_a.data());  // kept: the same listing

  const std::string_view first_b = listings.entries(b, scratch);  // 4 + 4 names: past the bound
  EXPECT_EQ(first_b.data(), scratch.data());
  EXPECT_EQ(sorted_names(first_b), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(sorted_names(listings.entries(b, other_scratch)), sorted_names(scratch));
  // The kept listing outlives the scratch texts.
  scratch.assign(64, 'x');
  EXPECT_EQ(sorted_names(listings.entries(a, scratch)).size(), 4u);

  EXPECT_TRUE(listings.entries(dir / "missing", scratch).empty());  // cannot be listed
}

}  // namespace
}  // namespace unitcheck::lint
