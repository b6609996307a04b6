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
  void SetUp() override { create_tables(tables); }

  // Appends and posts one record with the given file name.
  void post_file(std::string_view file) {
    table().append();
    table().set_text(table().field_at(0), file);
    table().post();
  }
  MemTable& table() { return tables.masterpartslist; }

  Tables tables;
};

TEST_F(PartTable, TextIsCutAtTheDeclaredSizeAndAtAZeroByte) {
  const Field& file = table().field_by_name("file");  // Text, 35
  const struct {
    std::string stored;
    std::string read_back;
  } cases[] = {
      {std::string(60, 'a'), std::string(35, 'a')},
      {std::string(35, 'b'), std::string(35, 'b')},
      {"", ""},
      {std::string("ab\0cd", 5), "ab"},
  };
  for (const auto& c : cases) {
    post_file(c.stored);
    EXPECT_EQ(file.as_text(), c.read_back);
  }
}

TEST_F(PartTable, NullTextReadsAsEmpty) {
  table().append();
  table().post();
  EXPECT_EQ(table().field_by_name("categoryname").as_text(), "");
}

TEST_F(PartTable, RecordsComeBackInPostingOrder) {
  post_file("one");
  post_file("two");
  post_file("three");
  EXPECT_EQ(table().record_count(), 3);
  std::string seen;
  table().first();
  for (int i = 0; i < 3; ++i) {
    ASSERT_FALSE(table().eof());
    seen += std::string(table().field_at(0).as_text()) + ",";
    table().next();
  }
  EXPECT_TRUE(table().eof());
  EXPECT_EQ(seen, "one,two,three,");
}

// Every record's text read without the cursor is the one the cursor reads there, a null one
// empty, and the cursor stays where it was.
TEST_F(PartTable, TextsAreReadInPostingOrderWithoutTheCursor) {
  post_file("one");
  table().append();
  table().post();
  post_file(std::string(40, 'x'));
  table().first();
  std::vector<std::string> files;
  std::vector<std::string> categories;
  table().for_each_text(0, [&](std::string_view text) { files.emplace_back(text); });
  table().for_each_text(table().field_by_name("categoryname").position(),
                        [&](std::string_view text) { categories.emplace_back(text); });
  EXPECT_EQ(files, (std::vector<std::string>{"one", "", std::string(35, 'x')}));
  EXPECT_EQ(categories, (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(table().field_at(0).as_text(), "one");
}

TEST_F(PartTable, EmptyTableIsAtEndAtOnce) {
  table().first();
  EXPECT_TRUE(table().eof());
  EXPECT_EQ(table().record_count(), 0);
}

TEST_F(PartTable, ClearRecordsKeepsTheFields) {
  post_file("x");
  post_file("y");
  table().clear_records();
  EXPECT_EQ(table().record_count(), 0);
  EXPECT_EQ(table().field_count(), 6);
  table().first();
  EXPECT_TRUE(table().eof());
}

TEST_F(PartTable, OpenTwiceChangesNothing) {
  post_file("x");
  post_file("y");
  table().first();
  table().next();
  table().open();
  EXPECT_EQ(table().record_count(), 2);
  EXPECT_EQ(table().field_at(0).as_text(), "y");
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

  MemTable closed("scratch");
  EXPECT_EQ(failure_of([&] { closed.add_field_def("", FieldType::Text, 5, false); }),
            "EDatabaseError : Field needs a name");
  const std::string inactive =
      "EDatabaseError : Operation cannot be performed on an inactive dataset";
  EXPECT_EQ(failure_of([&] { closed.first(); }), inactive);
  EXPECT_EQ(failure_of([&] { closed.next(); }), inactive);
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
  for (int i = 0; i < 5; ++i) {
    table().append();
    table().set_text(table().field_at(0), std::string(i * 20, 'f'));
    table().set_text(table().field_at(1), "cat" + std::to_string(i));
    table().set_int64(table().field_at(2), i);
    table().post();
  }
  ASSERT_EQ(table().record_count(), 6);
  table().first();
  EXPECT_EQ(table().field_at(0).as_text(), "before");
  EXPECT_TRUE(table().is_null_at(1));
  for (int i = 0; i < 5; ++i) {
    table().next();
    EXPECT_EQ(table().field_at(0).as_text(), std::string(std::min(i * 20, 35), 'f'));
    EXPECT_EQ(table().field_at(1).as_text(), "cat" + std::to_string(i));
    EXPECT_EQ(table().int64_at(2), i);
  }
}

// A record appended anew starts null and zero, whatever the one before it held.
TEST_F(PartTable, EachAppendStartsFromNothing) {
  table().append();
  table().set_text(table().field_at(0), std::string(30, 'x'));
  table().set_int64(table().field_at(2), 7);
  table().set_float(table().field_at(3), 1.5);
  table().post();
  table().append();
  EXPECT_TRUE(table().is_null_at(0));
  EXPECT_EQ(table().field_at(0).as_text(), "");
  EXPECT_EQ(table().int64_at(2), 0);
  table().set_text(table().field_at(1), "c");
  table().post();
  EXPECT_EQ(table().field_at(0).as_text(), "");
  EXPECT_TRUE(table().is_null_at(0));
  EXPECT_EQ(table().int64_at(2), 0);
  EXPECT_EQ(table().float_at(3), 0);
}

TEST_F(PartTable, TypedValuesAreStored) {
  table().append();
  table().set_int64(table().field_by_name("price"), -5);
  table().set_float(table().field_by_name("mass"), 2.5);
  table().post();
  EXPECT_EQ(table().int64_at(2), -5);
  EXPECT_EQ(table().float_at(3), 2.5);
  EXPECT_TRUE(table().is_null_at(4));
}

}  // namespace
}  // namespace unitcheck
