#include "validate/nested_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "driver/transcript.h"
#include "platform/console.h"
#include "tables/convert.h"
#include "tables/max_lengths.h"
#include "tables/schemas.h"
#include "validate/category_list.h"
#include "validate/cell_judge.h"
#include "validate/char_sets.h"
#include "validate/number_shapes.h"
#include "validate/part_index.h"

namespace unitcheck {
namespace {

// A part list of two parts, its categories, and a console that writes into a string.
class NestedListCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    add_part("Laser_Cannon", "Weapons/Guns");
    add_part("Tungsten", "Raw_Materials/Metals/Heavy\xC9l\xE9ments");
    build_category_list(parts->categories(), categories);
  }

  void add_part(std::string_view file, std::string_view category) { parts->add(file, category); }

  // The findings of checking cell as a list of the given table, on row 5, each with the
  // transcript's wording.
  // Every form of the byte classification the processor has must find the same.
  std::string check(std::string_view cell, std::string_view table) {
    list = std::make_unique<NestedList>(
        NestedListColumn{"column", table});  // lives as long as the findings
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
      writer.render(finding, out, state);
      findings.push_back(finding);
    }
    const TranscriptWriter& writer;
    std::string& out;
    RenderState state;
    std::vector<Finding> findings;
  };
  std::unique_ptr<NestedList> list;
  std::vector<Finding> findings;

  CategoryList categories;
  std::unique_ptr<PartIndex> parts = std::make_unique<PartIndex>();
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
  for (const auto& c : cases) EXPECT_EQ(check(c.cell, "dock"), c.transcript) << c.cell;
}

// A finding says where its value lies in the line: the cell's offset plus the value's.
TEST_F(NestedListCheck, FindingsLocateTheirValueInTheLine) {
  ASSERT_NE(check("{1;2.5;zz}", "dock"), "");
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
  EXPECT_EQ(check("{1}{0;", "dock"), "");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].kind, FindingKind::UnclosedLastGroup);
  EXPECT_EQ(findings[0].value, "{0;");
  EXPECT_EQ(findings[0].value_offset, 20 + 3);
  check("{1;2{}", "dock");
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].kind, FindingKind::UnclosedGroup);
  EXPECT_EQ(findings[0].value_offset, 20 + 4);
  EXPECT_EQ(findings[0].position, 5);
}

TEST_F(NestedListCheck, ValuesByFieldType) {
  const struct {
    std::string_view table;
    std::string cell;
    std::string transcript;
  } cases[] = {
      {"dock", "{true}",
       "row 5 dock INTERNAL true not known boolean value (range of 0..1 "
       "expected).\n"},
      {"dock", "{1;1.2.3}",
       "row 5 dock x 1.2.3 Float conversion of \"1.2.3\" fails offset 4 strpos 9\n"},
      {"cargo", "{Laser_Cannon;Weapons/Guns;1;x}",
       "row 5 cargo.quant \"x\" doesn't seem to be an integer.\n"},
      {"cargo", "{Laser_Cannon;Weapons/Guns;1;1-2}",
       "row 5 cargo.quant \"1-2\" Int conversion of \"1-2\" fails offset 2 strpos 33\n"},
      {"upgrades", "{u;+5}", "row 5 upgrades.mountoffset \"+5\" doesn't seem to be an integer.\n"},
      {"upgrades", "{u;99999999999}",
       "row 5 upgrades.mountoffset \"99999999999\" Int conversion of \"99999999999\" fails offset "
       "10 "
       "strpos 15\n"},
      {"cargo_import", braced(std::string(50, 'c')),
       "row 5 cargo_import Cat " + std::string(50, 'c') + " not found in master part list\n"},
      {"cargo_import", braced(std::string(51, 'c')),
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
    EXPECT_EQ(check(lead + "{0;1.5;-2;+.5;-0.;12345678.9}", "dock"), "") << pad;
    EXPECT_EQ(check(lead + "{1;1.2.3;--1;;e;+}", "dock"),
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
    EXPECT_EQ(check(lead + "{u;-123456789;1234567890}{u;7;-}", "upgrades"),
              "row 5 upgrades.subunoffset \"-\" Int conversion of \"-\" fails offset 2 strpos " +
                  std::to_string(base + 32) + "\n")
        << pad;
  }
  // Values longer than a block are judged on their bytes.
  EXPECT_EQ(check("{1;" + std::string(100, '7') + "." + std::string(100, '1') + "}", "dock"), "");
  const std::string long_fault = "7x" + std::string(70, '7');
  EXPECT_EQ(check("{1;" + long_fault + "}", "dock"),
            "row 5 dock.x \"" + long_fault + "\" doesn't seem to be a float.\n");
}

TEST_F(NestedListCheck, CategoriesMatchInAnyLetterCaseIncludingLatin1) {
  EXPECT_EQ(check("{weapons}{WEAPONS/guns}{raw_materials/metals}", "cargo_import"), "");
  EXPECT_EQ(check("{RAW_MATERIALS/METALS/HEAVY\xC9L\xC9MENTS}", "cargo_import"), "");
  EXPECT_EQ(check("{Weapon}", "cargo_import"),
            "row 5 cargo_import Cat Weapon not found in master part list\n");
  // 0xD7 and 0xF7 are signs, not letters: they never match each other.
  add_part("Odd", "A\xD7");
  CategoryList rebuilt;
  build_category_list(parts->categories(), rebuilt);
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
  build_category_list(parts->categories(), rebuilt);
  // weapons, weapons/guns, weapons/guns/rail, weapons/guns/rail/heavy, and the three of Tungsten.
  EXPECT_EQ(rebuilt.size(), 7u);
  for (const char* category : {"weapons", "weapons/guns", "weapons/guns/rail",
                               "weapons/guns/rail/heavy", "raw_materials", "raw_materials/metals"})
    EXPECT_TRUE(rebuilt.contains(category)) << category;
  EXPECT_FALSE(rebuilt.contains("weapons/guns/rail/"));
}

TEST_F(NestedListCheck, CargoNeedsAKnownPartOrAKnownCategory) {
  EXPECT_EQ(check("{Laser_Cannon;Anything}{Unknown;Weapons/Guns}", "cargo"), "");
  EXPECT_EQ(check("{Unknown;weapons/guns}", "cargo"),  // exact case only
            "row 5 cargo Category Unknown - weapons/guns not found in master part list\n");
  // The part name is remembered within one cell only, and until the next filename.
  EXPECT_EQ(check("{Laser_Cannon;x}{Nope;y}", "cargo"),
            "row 5 cargo Category Nope - y not found in master part list\n");
  EXPECT_EQ(check("{;x}", "cargo"), "row 5 cargo Category  - x not found in master part list\n");
}

// Part names no line of the part list can hold still count as names: an unknown part with an
// unknown category is reported whatever the list holds.
TEST_F(NestedListCheck, TextLengthsAreRecordedEvenWhenEmpty) {
  check("{;0;2}", "mounts");
  check("{ab;0;2;" + std::string(81, 's') + "}", "mounts");
  ASSERT_EQ(max_lengths.entries().size(), 2u);
  EXPECT_EQ(max_lengths.entries()[0].key, "mounts.SIZE");
  EXPECT_EQ(max_lengths.entries()[0].max_length, 81);
  EXPECT_EQ(max_lengths.entries()[1].key, "mounts.type");
  EXPECT_EQ(max_lengths.entries()[1].max_length, 2);
}

// What a finding says about a value, as the model below and the checks both tell it.
struct Said {
  FindingKind kind;
  std::string field;
  std::int64_t value_offset;
  std::string value;
  std::int64_t position;
  std::int64_t error_position;
  bool operator==(const Said&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Said& said) {
  return out << static_cast<int>(said.kind) << " " << said.field << " @" << said.value_offset
             << " '" << said.value << "' " << said.position << " " << said.error_position;
}

// The rules of a nested-list cell followed one byte at a time, each value of a boolean or number
// field judged by the judge of values: what the walk over 64-byte masks, with its plain numbers
// passed on masks alone, must find. value_offset counts
// from the cell's offset in the line, 20 as in check().
std::vector<Said> model_findings(std::string_view cell, std::string_view table,
                                 const CategoryList& categories, const PartIndex& parts) {
  std::vector<Said> said;
  auto add = [&](FindingKind kind, std::string field, std::size_t start, std::string_view value,
                 std::int64_t position = 0, std::int64_t error_position = 0) {
    said.push_back(Said{kind, std::move(field), 20 + static_cast<std::int64_t>(start),
                        std::string(value), position, error_position});
  };
  const std::span<const ColumnSchema> fields = find_table_schema(table)->columns;
  const auto field_count = static_cast<int>(fields.size());
  int field = 0;
  std::size_t start = 0;
  bool closed = true;
  std::size_t group_start = 0;
  std::string_view part_name;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    const char byte = cell[i];
    if (byte != '{' && byte != ';' && byte != '}') continue;
    const auto k = static_cast<std::int64_t>(i + 1);
    const std::string_view value = cell.substr(start, i - start);
    if (byte == '{') {
      field = 0;
      group_start = i;
      if (!closed) add(FindingKind::UnclosedGroup, "", i, "", k);
      closed = false;
    } else if (field == field_count) {
      add(FindingKind::TooManyValues, "", start, value, k);
    } else {
      const ColumnSchema& f = fields[static_cast<std::size_t>(field++)];
      const std::string name(f.name);
      switch (f.type) {
        case FieldType::Text:
          if (static_cast<std::int64_t>(value.size()) >= data_size_of(f.type, f.size))
            add(FindingKind::NestedTextTooLong, name, start, value);
          if (table == "cargo_import" && name == "Cat" && !categories.contains(value))
            add(FindingKind::CategoryNotFound, name, start, value);
          if (table == "cargo" && name == "filename") part_name = value;
          if (table == "cargo" && name == "Category" && !parts.knows_category(value) &&
              !parts.knows_part(part_name))
            add(FindingKind::CargoPartNotFound, name, start, value);
          break;
        case FieldType::Integer:
        case FieldType::Boolean:
        case FieldType::Float:
          // The values of these fields are what the judge of values says of them.
          if (const Judgement j = judge_value(value_rule(f.type, true), value); !j.fits())
            add(finding_kind(j.verdict, true), name, start, value, j.error_position > 0 ? k : 0,
                j.error_position);
          break;
        case FieldType::Int64:
          break;
      }
    }
    if (byte == '}') closed = true;
    start = i + 1;
  }
  if (!closed)
    add(FindingKind::UnclosedLastGroup, "", group_start, cell.substr(group_start),
        static_cast<std::int64_t>(cell.size()));
  return said;
}

// Random cells of braces, semicolons, number bytes, letters and long runs, up to a few blocks
// long, in lists of every kind of field: the walk finds what the byte-by-byte model finds.
TEST_F(NestedListCheck, WalkAgreesWithTheByteByByteRules) {
  std::mt19937 random(3);
  const std::vector<std::string> pieces = {"{",
                                           ";",
                                           ";",
                                           ";",
                                           "}",
                                           "0",
                                           "1",
                                           "5",
                                           "9",
                                           ".",
                                           "-",
                                           "+",
                                           "e",
                                           "E",
                                           "x",
                                           "12.5",
                                           "-0.25",
                                           "300",
                                           "1234567890",
                                           "Weapons/Guns",
                                           "Laser_Cannon",
                                           std::string(70, '7'),
                                           std::string(45, 'a')};
  const std::string_view lists[] = {"mounts", "cargo", "dock", "cargo_import", "upgrades"};
  for (int round = 0; round < 3000; ++round) {
    std::string cell;
    const std::size_t wanted = random() % 300;
    while (cell.size() < wanted) cell += pieces[random() % pieces.size()];
    const std::string_view table = lists[round % std::size(lists)];
    check(cell, table);
    std::vector<Said> got;
    for (const Finding& f : findings)
      got.push_back(Said{f.kind, std::string(f.field), f.value_offset, std::string(f.value),
                         f.position, f.error_position});
    ASSERT_EQ(got, model_findings(cell, table, categories, *parts)) << table << " " << cell;
  }
}

// Texts that cross a block edge, with good and bad numbers right after them: wherever the
// edge falls, the numbers are judged as the byte-by-byte model judges them.
TEST_F(NestedListCheck, NumbersAfterTextsAcrossABlockEdge) {
  const std::string mounts = "{" + std::string(36, 't') + ";-12;1.5;" + std::string(50, 's') +
                             ";1.25;-2.;x;7;;1.2.3;+.5;0;1;2;3;4;5}{a;12345678901;.;b}";
  const std::string cargo = "{" + std::string(29, 'f') + ";Weapons/Guns;1..5;2x;2.5;;;;" +
                            std::string(65, 'd') + ";1}{Laser_Cannon;weapons/guns;1;2;3}";
  const std::string upgrades =
      "{" + std::string(39, 'u') + ";7;--1}{" + std::string(20, 'v') + ";-123456789;9999999999}";
  for (std::size_t pad = 0; pad < 130; ++pad) {
    const std::string lead(pad, 'x');
    for (const auto& [table, cell] :
         {std::pair{"mounts", lead + mounts}, std::pair{"cargo", lead + cargo},
          std::pair{"upgrades", lead + upgrades}}) {
      check(cell, table);
      std::vector<Said> got;
      for (const Finding& f : findings)
        got.push_back(Said{f.kind, std::string(f.field), f.value_offset, std::string(f.value),
                           f.position, f.error_position});
      const std::vector<Said> wanted = model_findings(cell, table, categories, *parts);
      ASSERT_GE(wanted.size(), 2u) << table;
      ASSERT_EQ(got, wanted) << table << " " << pad;
    }
  }
}

}  // namespace
}  // namespace unitcheck
