#include "validate/nested_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/transcript.h"
#include "platform/console.h"
#include "tables/max_lengths.h"
#include "tables/schemas.h"
#include "validate/category_list.h"
#include "validate/part_index.h"

namespace unitcheck {
namespace {

// A part list of two parts, its categories, and a console that writes into a string.
class NestedListCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    create_tables(tables);
    add_part("Laser_Cannon", "Weapons/Guns");
    add_part("Tungsten", "Raw_Materials/Metals/Heavy\xC9l\xE9ments");
    build_category_list(tables.masterpartslist, categories);
    parts = std::make_unique<PartIndex>(tables.masterpartslist);
  }

  void add_part(std::string_view file, std::string_view category) {
    MemTable& list = tables.masterpartslist;
    list.append();
    list.set_text(list.field_by_name("file"), file);
    list.set_text(list.field_by_name("categoryname"), category);
    list.post();
  }

  // The findings of checking cell as a list of the given table, on row 5, each with the
  // transcript's wording.
  // Every form of the byte classification the processor has must find the same.
  std::string check(std::string_view cell, const MemTable& table) {
    list = std::make_unique<NestedList>("column", table);  // lives as long as the findings
    std::string first;
    for (const BlockForm form : {widest_block_form(), BlockForm::Sse2, BlockForm::Plain}) {
      std::string out;
      Console console(out);
      TranscriptWriter writer(console);
      Recorder sink(writer, out);
      std::vector<LengthTally> lengths = list->length_tallies();
      const Finding where{.line = 5, .cell = 3, .cell_offset = 20};
      check_nested_list(cell, *list, lengths, where, NestedContext{sink, categories, *parts, form});
      if (form == widest_block_form()) {
        for (LengthTally& tally : lengths) tally.flush_into(max_lengths);
        findings = std::move(sink.findings);
        first = out;
      }
      EXPECT_EQ(out, first) << "form " << static_cast<int>(form);
    }
    return first;
  }

  // Renders each finding and keeps a copy (its texts are views into the cell and the list).
  struct Recorder final : FindingSink {
    Recorder(const TranscriptWriter& w, std::string& o) : writer(w), out(o) {}
    void report(const Finding& finding) override {
      writer.render(finding, out);
      findings.push_back(finding);
    }
    const TranscriptWriter& writer;
    std::string& out;
    std::vector<Finding> findings;
  };
  std::unique_ptr<NestedList> list;
  std::vector<Finding> findings;

  Tables tables;
  CategoryList categories;
  std::unique_ptr<PartIndex> parts;
  MaxLengths max_lengths;
};

// The text as one group: in braces.
std::string braced(std::string text) {
  text.insert(text.begin(), '{');
  text += '}';
  return text;
}

TEST_F(NestedListCheck, GroupStructure) {
  const struct {
    const char* cell;
    const char* transcript;
  } cases[] = {
      // The first group is never closed: reported at the second brace; its value ended by a
      // semicolon is checked, the text after it is not.
      {"{1;1.5;zz{0;2;3}", "row 5 - dock subquery: unclosed. Data offset: 10\n"},
      {"{1;a;2}", "row 5 dock.x \"a\" doesn't seem to be a float.\n"},
      {"{1;1;x", ""},        // an open last group is neither reported nor its last value checked
      {"{1;2}ab{0;3}", ""},  // text between groups is ignored
      {"{1}q;{0}", "row 5 dock.x \"q\" doesn't seem to be a float.\n"},  // unless a ';' ends it
      {"{}", ""},  // one empty value for the first field
      {"yes;1;x;",
       "row 5 dock INTERNAL yes not known boolean value (range of 0..1 expected).\n"
       "row 5 dock.y \"x\" doesn't seem to be a float.\n"},  // no braces at all
      {"{1;2;3;4;5;6;7}", "row 5 - dock subquery: field count exceeds known.\n"},
      {"{1;2;3;4;5;6;7;8}",
       "row 5 - dock subquery: field count exceeds known.\n"
       "row 5 - dock subquery: field count exceeds known.\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(check(c.cell, tables.dock), c.transcript) << c.cell;
}

// A finding says where its value lies in the line: the cell's offset plus the value's.
TEST_F(NestedListCheck, FindingsLocateTheirValueInTheLine) {
  ASSERT_NE(check("{1;2.5;zz}", tables.dock), "");
  ASSERT_EQ(findings.size(), 1u);
  const Finding& f = findings[0];
  EXPECT_EQ(f.kind, FindingKind::NestedNotFloat);
  EXPECT_EQ(f.line, 5);
  EXPECT_EQ(f.cell, 3);
  EXPECT_EQ(f.table, "dock");
  EXPECT_EQ(f.field, "y");
  EXPECT_EQ(f.value, "zz");
  EXPECT_EQ(f.value_offset, 20 + 7);
  // A group left open at the end has no transcript line, but it is found.
  EXPECT_EQ(check("{1}{0;", tables.dock), "");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].kind, FindingKind::UnclosedLastGroup);
  EXPECT_EQ(findings[0].value, "{0;");
  EXPECT_EQ(findings[0].value_offset, 20 + 3);
  check("{1;2{}", tables.dock);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].kind, FindingKind::UnclosedGroup);
  EXPECT_EQ(findings[0].value_offset, 20 + 4);
  EXPECT_EQ(findings[0].position, 5);
}

TEST_F(NestedListCheck, ValuesByFieldType) {
  const struct {
    const MemTable& table;
    std::string cell;
    std::string transcript;
  } cases[] = {
      {tables.dock, "{true}",
       "row 5 dock INTERNAL true not known boolean value (range of 0..1 "
       "expected).\n"},
      {tables.dock, "{1;1.2.3}",
       "row 5 dock x 1.2.3 Float conversion of \"1.2.3\" fails offset 4 strpos 9\n"},
      {tables.cargo, "{Laser_Cannon;Weapons/Guns;1;x}",
       "row 5 cargo.quant \"x\" doesn't seem to be an integer.\n"},
      {tables.cargo, "{Laser_Cannon;Weapons/Guns;1;1-2}",
       "row 5 cargo.quant \"1-2\" Int conversion of \"1-2\" fails offset 2 strpos 33\n"},
      {tables.upgrades, "{u;+5}",
       "row 5 upgrades.mountoffset \"+5\" doesn't seem to be an integer.\n"},
      {tables.upgrades, "{u;99999999999}",
       "row 5 upgrades.mountoffset \"99999999999\" Int conversion of \"99999999999\" fails offset "
       "10 "
       "strpos 15\n"},
      {tables.cargo_import, braced(std::string(50, 'c')),
       "row 5 cargo_import Cat " + std::string(50, 'c') + " not found in master part list\n"},
      {tables.cargo_import, braced(std::string(51, 'c')),
       "row 5 cargo_import Cat - max avail: 51 actual: 51\n"
       "row 5 cargo_import Cat " +
           std::string(51, 'c') + " not found in master part list\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(check(c.cell, c.table), c.transcript) << c.cell;
}

// The cell is read in blocks of 64 bytes; a value is judged the same wherever it lies, across a
// block edge included. Text before the first brace shifts the group one byte at a time.
TEST_F(NestedListCheck, ValuesJudgedAlikeAtEveryOffset) {
  for (std::size_t pad = 0; pad < 140; ++pad) {
    const std::string lead(pad, 'x');
    const int base = static_cast<int>(pad);
    EXPECT_EQ(check(lead + "{0;1.5;-2;+.5;-0.;12345678.9}", tables.dock), "") << pad;
    EXPECT_EQ(check(lead + "{1;1.2.3;--1;;e;+}", tables.dock),
              "row 5 dock x 1.2.3 Float conversion of \"1.2.3\" fails offset 4 strpos " +
                  std::to_string(base + 9) +
                  "\n"
                  "row 5 dock y --1 Float conversion of \"--1\" fails offset 2 strpos " +
                  std::to_string(base + 13) +
                  "\n"
                  "row 5 dock size e Float conversion of \"e\" fails offset 1 strpos " +
                  std::to_string(base + 16) +
                  "\n"
                  "row 5 dock minsize + Float conversion of \"+\" fails offset 2 strpos " +
                  std::to_string(base + 18) + "\n")
        << pad;
    EXPECT_EQ(check(lead + "{u;-123456789;1234567890}{u;7;-}", tables.upgrades),
              "row 5 upgrades.subunoffset \"-\" Int conversion of \"-\" fails offset 2 strpos " +
                  std::to_string(base + 32) + "\n")
        << pad;
  }
  // Values longer than a block are judged on their bytes.
  EXPECT_EQ(check("{1;" + std::string(100, '7') + "." + std::string(100, '1') + "}", tables.dock),
            "");
  const std::string long_fault = "7x" + std::string(70, '7');
  EXPECT_EQ(check("{1;" + long_fault + "}", tables.dock),
            "row 5 dock.x \"" + long_fault + "\" doesn't seem to be a float.\n");
}

TEST_F(NestedListCheck, CategoriesMatchInAnyLetterCaseIncludingLatin1) {
  EXPECT_EQ(check("{weapons}{WEAPONS/guns}{raw_materials/metals}", tables.cargo_import), "");
  EXPECT_EQ(check("{RAW_MATERIALS/METALS/HEAVY\xC9L\xC9MENTS}", tables.cargo_import), "");
  EXPECT_EQ(check("{Weapon}", tables.cargo_import),
            "row 5 cargo_import Cat Weapon not found in master part list\n");
  // 0xD7 and 0xF7 are signs, not letters: they never match each other.
  add_part("Odd", "A\xD7");
  CategoryList rebuilt;
  build_category_list(tables.masterpartslist, rebuilt);
  EXPECT_TRUE(rebuilt.contains("a\xD7"));
  EXPECT_FALSE(rebuilt.contains("a\xF7"));
}

// A category named again, in another case, or given after one it prefixes adds nothing; a new
// category under a known prefix still adds its own longer prefixes.
TEST_F(NestedListCheck, CategoryListHoldsEachCategoryAndPrefixOnce) {
  add_part("Laser_Mk2", "Weapons/Guns");
  add_part("Gun", "WEAPONS");
  add_part("Rail", "Weapons/Guns/Rail/Heavy");
  add_part("Laser_Mk3", "weapons/guns");
  CategoryList rebuilt;
  build_category_list(tables.masterpartslist, rebuilt);
  // weapons, weapons/guns, weapons/guns/rail, weapons/guns/rail/heavy, and the three of Tungsten.
  EXPECT_EQ(rebuilt.size(), 7u);
  for (const char* category : {"weapons", "weapons/guns", "weapons/guns/rail",
                               "weapons/guns/rail/heavy", "raw_materials", "raw_materials/metals"})
    EXPECT_TRUE(rebuilt.contains(category)) << category;
  EXPECT_FALSE(rebuilt.contains("weapons/guns/rail/"));
}

TEST_F(NestedListCheck, CargoNeedsAKnownPartOrAKnownCategory) {
  EXPECT_EQ(check("{Laser_Cannon;Anything}{Unknown;Weapons/Guns}", tables.cargo), "");
  EXPECT_EQ(check("{Unknown;weapons/guns}", tables.cargo),  // exact case only
            "row 5 cargo Category Unknown - weapons/guns not found in master part list\n");
  // The part name is remembered within one cell only, and until the next filename.
  EXPECT_EQ(check("{Laser_Cannon;x}{Nope;y}", tables.cargo),
            "row 5 cargo Category Nope - y not found in master part list\n");
  EXPECT_EQ(check("{;x}", tables.cargo),
            "row 5 cargo Category  - x not found in master part list\n");
}

// Part names no line of the part list can hold still count as names: an unknown part with an
// unknown category is reported whatever the list holds.
TEST_F(NestedListCheck, TextLengthsAreRecordedEvenWhenEmpty) {
  check("{;0;2}", tables.mounts);
  check("{ab;0;2;" + std::string(81, 's') + "}", tables.mounts);
  ASSERT_EQ(max_lengths.entries().size(), 2u);
  EXPECT_EQ(max_lengths.entries()[0].key, "mounts.SIZE");
  EXPECT_EQ(max_lengths.entries()[0].max_length, 81);
  EXPECT_EQ(max_lengths.entries()[1].key, "mounts.type");
  EXPECT_EQ(max_lengths.entries()[1].max_length, 2);
}

}  // namespace
}  // namespace unitcheck
