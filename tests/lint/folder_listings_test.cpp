#include "lint/folder_listings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/temp_dir.h"

namespace unitcheck::lint {
namespace {

FolderEntries sorted(FolderEntries names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Listings are kept while they fit the bounds; a folder past them is listed anew each time,
// with the same answer, so that memory stays bounded whatever the folders hold.
TEST(FolderListings, KeepsListingsWithinItsBoundsAndListsTheOthersAnew) {
  testing::TempDir dir;
  for (const char* name : {"a/x.mesh", "a/y.mesh", "a/z.mesh", "b/1", "b/2", "b/3", "b/4"})
    dir.write(name, "");
  FolderListings listings(/*kept_folders=*/8, /*kept_names=*/5);
  const std::string a = dir / "a", b = dir / "b";

  const auto first_a = listings.entries(a);
  EXPECT_EQ(sorted(*first_a), (FolderEntries{"x.mesh", "y.mesh", "z.mesh"}));
  EXPECT_EQ(listings.entries(a), first_a);  // kept: the same listing

  const auto first_b = listings.entries(b);  // 3 + 4 names: past the bound
  EXPECT_EQ(sorted(*first_b), (FolderEntries{"1", "2", "3", "4"}));
  const auto second_b = listings.entries(b);
  EXPECT_NE(second_b, first_b);
  EXPECT_EQ(sorted(*second_b), sorted(*first_b));

  EXPECT_TRUE(listings.entries(dir / "missing")->empty());  // cannot be listed: no names
}

}  // namespace
}  // namespace unitcheck::lint
