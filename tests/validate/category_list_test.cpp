#include "validate/category_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tables/schemas.h"

namespace unitcheck {
namespace {

// The list's meaning written out plainly: every folded category, and each of its prefixes that
// ends before a slash at position 1 or later.
std::set<std::string> entries_of(const std::vector<std::string>& categories) {
  std::set<std::string> entries;
  for (const std::string& category : categories) {
    const std::string folded = fold_latin1(category);
    entries.insert(folded);
    for (std::size_t i = 1; i < folded.size(); ++i)
      if (folded[i] == '/') entries.insert(folded.substr(0, i));
  }
  return entries;
}

void build(const std::vector<std::string>& categories, CategoryList& list) {
  MemTable parts("masterpartslist");
  define_masterpartslist(parts);
  for (const std::string& category : categories) {
    parts.append();
    parts.set_text(parts.field_by_name("categoryname"), category);
    parts.post();
  }
  build_category_list(parts, list);
}

// Texts over bytes that sort on both sides of the slash ('-' and '.' below it, letters above),
// with capitals of both foldings, so that categories share prefixes, differ only in letter case,
// and begin or end with slashes. Queries may also hold a zero byte, which a stored text cannot.
std::string random_text(std::uint64_t& state, std::size_t max_length, bool zero_bytes = false) {
  static constexpr char kBytes[] = {'a', 'A', 'b', '/', '/', '-', '.', '\xC9', '\xE9', '\0'};
  const std::size_t byte_count = sizeof kBytes - (zero_bytes ? 0 : 1);
  state = state * 6364136223846793005ull + 1442695040888963407ull;
  std::string text((state >> 33) % (max_length + 1), ' ');
  for (char& c : text) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    c = kBytes[(state >> 33) % byte_count];
  }
  return text;
}

// Every category, every prefix of each (at a slash or not, with a slash added or not) and random
// texts are asked of the list and of the plain meaning, which must agree, as must the counts.
// One round in four has categories of up to 60 bytes (the longest a part list keeps), asked
// also twice over: texts of every length are hashed, and texts longer than a lookup folds on the
// stack are asked too.
TEST(CategoryList, AgreesWithEveryCategoryAndSlashPrefixSpelledOut) {
  std::uint64_t state = 7;
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> categories;
    const int count = round % 8 == 0 ? 1 : 2 + round * 5;
    const std::size_t longest = round % 4 == 3 ? 60 : 9;
    for (int i = 0; i < count; ++i) categories.push_back(random_text(state, longest));
    const std::set<std::string> entries = entries_of(categories);
    CategoryList list;
    build(categories, list);
    EXPECT_EQ(list.size(), entries.size()) << "round " << round;

    std::vector<std::string> queries;
    for (const std::string& category : categories)
      for (std::size_t i = 0; i <= category.size(); ++i) {
        queries.push_back(category.substr(0, i));
        queries.push_back(category.substr(0, i) + "/");
      }
    for (int i = 0; i < 200; ++i) queries.push_back(random_text(state, 6, true));
    for (const std::string& category : categories) queries.push_back(category + category);
    for (const std::string& query : queries)
      EXPECT_EQ(list.contains(query), entries.count(fold_latin1(query)) == 1)
          << "round " << round << ", query \"" << query << "\"";
  }
}

TEST(CategoryList, EmptyListAndEmptyCategory) {
  CategoryList empty;
  build({}, empty);
  EXPECT_FALSE(empty.contains(""));
  EXPECT_EQ(empty.size(), 0u);
  // An empty category is listed; a leading slash makes no empty prefix.
  CategoryList blank;
  build({""}, blank);
  EXPECT_TRUE(blank.contains(""));
  CategoryList rooted;
  build({"/Weapons/Guns"}, rooted);
  EXPECT_FALSE(rooted.contains(""));
  EXPECT_TRUE(rooted.contains("/weapons"));
  EXPECT_FALSE(rooted.contains("/"));
  EXPECT_EQ(rooted.size(), 2u);
}

}  // namespace
}  // namespace unitcheck
