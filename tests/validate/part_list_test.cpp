#include "validate/part_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "validate/name_set.h"

namespace unitcheck {
namespace {

std::vector<std::string> names_of(const NameSet& set) {
  std::vector<std::string> names;
  set.for_each([&](std::string_view name) { names.emplace_back(name); });
  return names;
}

// Through many doublings of its slots: each name once, in the order first given, the empty
// one included; names one byte off are not members.
TEST(NameSet, KeepsEachNameOnceInTheOrderFirstGiven) {
  NameSet set;
  std::vector<std::string> expected;
  set.insert("");
  expected.emplace_back("");
  for (int i = 0; i < 30000; ++i) {
    const std::string name = "part_" + std::to_string(i * 7919 % 30011);
    set.insert(name);
    set.insert(name);
    expected.push_back(name);
  }
  EXPECT_EQ(set.size(), expected.size());
  EXPECT_EQ(names_of(set), expected);
  for (const std::string& name : expected) {
    ASSERT_TRUE(set.contains(name)) << name;
    ASSERT_FALSE(set.contains(name + "x")) << name;
  }
  EXPECT_FALSE(NameSet().contains(""));
}

// The part list keeps a record's first two cells as stored (to a zero byte, at most 35 and 60
// bytes); a missing cell is empty. Blank lines, lines that begin with a comma and text after the
// last LF make no record; the header line makes one, as it always has.
TEST(PartList, KeepsNamesAndCategoriesAsStored) {
  const std::string long_name(40, 'n');
  const std::string long_category(70, 'c');
  const std::string text =
      "file,categoryname,price\n"
      "Laser,Weapons/Guns,10\n"
      "\n"
      ",Hidden/Category\n" +
      long_name + "," + long_category + "\n" + std::string("\"Nul\0tail\",\"Odd\0tail\"\n", 22) +
      "Lonely\n"
      "  \"Quoted, Name\" , \"Cat\"\"s\"\r\n"
      "Last,Unended";
  const PartList list(text);
  EXPECT_EQ(names_of(list.parts.part_names()),
            (std::vector<std::string>{"file", "Laser", long_name.substr(0, 35), "Nul", "Lonely",
                                      "Quoted, Name"}));
  EXPECT_EQ(names_of(list.parts.categories()),
            (std::vector<std::string>{"categoryname", "Weapons/Guns", long_category.substr(0, 60),
                                      "Odd", "", "Cat\"s"}));
  EXPECT_TRUE(list.parts.knows_category(""));
  EXPECT_FALSE(list.parts.knows_part("Last"));
  EXPECT_FALSE(list.parts.knows_category("Hidden/Category"));
  EXPECT_TRUE(list.category_list.contains("WEAPONS"));
  EXPECT_TRUE(list.category_list.contains("weapons/guns"));
  EXPECT_FALSE(list.category_list.contains("hidden"));
}

}  // namespace
}  // namespace unitcheck
