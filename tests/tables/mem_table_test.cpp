#include "tables/mem_table.h"

#include <gtest/gtest.h>

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

// The unit table's columns, as create_tables defines them.
class UnitColumns : public ::testing::Test {
 protected:
  void SetUp() override { create_tables(tables); }
  Tables tables;
};

TEST_F(UnitColumns, FieldNamesAreFoundWithoutCaseForAsciiLettersOnly) {
  EXPECT_EQ(tables.units.field_by_name("INDEX").name(), "index");
  EXPECT_EQ(tables.units.field_by_name("hud_IMAGE").name(), "Hud_image");
  EXPECT_EQ(tables.units.find_field("n\xC1me"), nullptr);  // an accented capital is not folded
}

TEST_F(UnitColumns, EachFailureHasItsKindAndMessage) {
  EXPECT_EQ(failure_of([&] { tables.units.field_by_name("colour"); }),
            "EDatabaseError : units : Field not found : \"colour\"");
  const int count = tables.units.field_count();
  EXPECT_EQ(failure_of([&] { tables.units.field_at(count); }),
            "EListError : List index (" + std::to_string(count) + ") out of bounds");
  EXPECT_EQ(failure_of([&] { tables.units.field_at(-1); }),
            "EListError : List index (-1) out of bounds");

  MemTable scratch("scratch");
  EXPECT_EQ(failure_of([&] { scratch.add_field_def("", FieldType::Text, 5, false); }),
            "EDatabaseError : Field needs a name");
  scratch.add_field_def("huge", FieldType::Text, 8193, false);
  EXPECT_EQ(failure_of([&] { scratch.open(); }), "EDatabaseError : Invalid field size : 8193");
}

// Opening again makes no second set of fields.
TEST_F(UnitColumns, OpenTwiceChangesNothing) {
  const int count = tables.units.field_count();
  tables.units.open();
  EXPECT_EQ(tables.units.field_count(), count);
  EXPECT_EQ(tables.units.field_at(count - 1).position(), count - 1);
}

}  // namespace
}  // namespace unitcheck
