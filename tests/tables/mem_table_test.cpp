#include "tables/mem_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "tables/schemas.h"

namespace unitcheck {
namespace {

// Runs f and returns the Failure's "kind : message" as the report would print it.
template <class F>
std::string failure_of(F&& f) {
  try {
    f();
  } catch (const Failure& failure) {
    return failure.kind() + " : " + failure.message();
  }
  return "no failure";
}

class PartTable : public ::testing::Test {
 protected:
  void SetUp() override {
    create_tables(tables);
    define_masterpartslist(parts);
  }

  // Appends and posts one record with the given file name.
  void post_file(std::string_view file) {
    table().append();
    table().set_text(table().field_at(0), file);
    table().post();
  }
  MemTable& table() { return parts; }
  // The texts of the field at position, record by record.
  std::vector<std::string> texts(int position) const {
    std::vector<std::string> seen;
    parts.for_each_text(position, [&](std::string_view text) { seen.emplace_back(text); });
    return seen;
  }

  Tables tables;
  MemTable parts{"masterpartslist"};
};

TEST_F(PartTable, TextIsCutAtTheDeclaredSizeAndAtAZeroByte) {
  ASSERT_EQ(table().field_by_name("file").size(), 35);
  post_file(std::string(60, 'a'));
  post_file(std::string(35, 'b'));
  post_file("");
  post_file(std::string("ab\0cd", 5));
  EXPECT_EQ(texts(0),
            (std::vector<std::string>{std::string(35, 'a'), std::string(35, 'b'), "", "ab"}));
}

// Texts come back in posting order, a null one empty, whatever the columns around them hold.
TEST_F(PartTable, TextsAreReadInPostingOrder) {
  post_file("one");
  table().append();
  table().post();
  post_file(std::string(40, 'x'));
  EXPECT_EQ(table().record_count(), 3);
  EXPECT_EQ(texts(0), (std::vector<std::string>{"one", "", std::string(35, 'x')}));
  EXPECT_EQ(texts(table().field_by_name("categoryname").position()),
            (std::vector<std::string>{"", "", ""}));
}

TEST_F(PartTable, EmptyTableHasNoTexts) {
  EXPECT_EQ(table().record_count(), 0);
  EXPECT_TRUE(texts(0).empty());
}

TEST_F(PartTable, ClearRecordsKeepsTheFields) {
  post_file("x");
  post_file("y");
  table().clear_records();
  EXPECT_EQ(table().record_count(), 0);
  EXPECT_EQ(table().field_count(), 6);
  EXPECT_TRUE(texts(0).empty());
  post_file("z");
  EXPECT_EQ(texts(0), (std::vector<std::string>{"z"}));
}

TEST_F(PartTable, OpenTwiceChangesNothing) {
  post_file("x");
  post_file("y");
  table().open();
  EXPECT_EQ(table().record_count(), 2);
  EXPECT_EQ(texts(0), (std::vector<std::string>{"x", "y"}));
}

TEST_F(PartTable, FieldNamesAreFoundWithoutCaseForAsciiLettersOnly) {
  EXPECT_EQ(table().field_by_name("CATEGORYNAME").name(), "categoryname");
  EXPECT_EQ(tables.units.field_by_name("Index").name(), "index");
  EXPECT_EQ(tables.units.field_by_name("hud_IMAGE").name(), "Hud_image");
  EXPECT_EQ(table().find_field("fil\xC9"), nullptr);  // an accented capital is not folded
}

TEST_F(PartTable, EachFailureHasItsKindAndMessage) {
  EXPECT_EQ(failure_of([&] { table().field_by_name("colour"); }),
            "EDatabaseError : masterpartslist : Field not found : \"colour\"");
  EXPECT_EQ(failure_of([&] { table().field_at(6); }), "EListError : List index (6) out of bounds");
  EXPECT_EQ(failure_of([&] { table().field_at(-1); }),
            "EListError : List index (-1) out of bounds");
  EXPECT_EQ(failure_of([&] { table().post(); }),
            "EDatabaseError : masterpartslist : Operation not allowed, dataset "
            "\"masterpartslist\" is not in an edit or insert state.");
  EXPECT_EQ(failure_of([&] { table().set_text(table().field_at(0), "x"); }),
            "EDatabaseError : masterpartslist : Operation not allowed, dataset "
            "\"masterpartslist\" is not in an edit or insert state.");

  MemTable closed("scratch");
  EXPECT_EQ(failure_of([&] { closed.add_field_def("", FieldType::Text, 5, false); }),
            "EDatabaseError : Field needs a name");
  const std::string inactive =
      "EDatabaseError : Operation cannot be performed on an inactive dataset";
  EXPECT_EQ(failure_of([&] { closed.append(); }), inactive);
  EXPECT_EQ(failure_of([&] { closed.record_count(); }), inactive);

  closed.add_field_def("huge", FieldType::Text, 8193, false);
  closed.create_storage();
  EXPECT_EQ(failure_of([&] { closed.open(); }), "EDatabaseError : Invalid field size : 8193");
}

// Room made ahead, whether before the first record or after some, and whether used up or
// overrun, changes nothing that reads back.
TEST_F(PartTable, ReservingChangesNoRecord) {
  post_file("before");
  table().reserve(2, 50);
  std::vector<std::string> files{"before"};
  std::vector<std::string> categories{""};
  for (int i = 0; i < 5; ++i) {
    table().append();
    table().set_text(table().field_at(0), std::string(i * 20, 'f'));
    table().set_text(table().field_at(1), "cat" + std::to_string(i));
    table().post();
    files.push_back(std::string(std::min(i * 20, 35), 'f'));
    categories.push_back("cat" + std::to_string(i));
  }
  ASSERT_EQ(table().record_count(), 6);
  EXPECT_EQ(texts(0), files);
  EXPECT_EQ(texts(1), categories);
}

// A record appended anew starts null, whatever the one before it held.
TEST_F(PartTable, EachAppendStartsFromNothing) {
  table().append();
  table().set_text(table().field_at(0), std::string(30, 'x'));
  table().set_text(table().field_at(1), "c");
  table().post();
  table().append();
  table().set_text(table().field_at(1), "d");
  table().post();
  EXPECT_EQ(texts(0), (std::vector<std::string>{std::string(30, 'x'), ""}));
  EXPECT_EQ(texts(1), (std::vector<std::string>{"c", "d"}));
}

}  // namespace
}  // namespace unitcheck
