#include "lint/header_checks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tables/schemas.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {
namespace {

std::span<const ColumnSchema> units() {
  return find_table_schema("units")->columns;
}

const Tables& schemas() {
  static const std::unique_ptr<Tables> tables = [] {
    auto created = std::make_unique<Tables>();
    create_tables(*created);
    return created;
  }();
  return *tables;
}

// The header line mapped as the checks map it, then checked. The findings are views into the
// header, kept with them.
struct Checked {
  std::unique_ptr<UnitHeader> header;
  std::vector<HeaderFinding> findings;
};
Checked check(const std::string& line) {
  auto header = std::make_unique<UnitHeader>(map_unit_header(line, schemas()));
  std::vector<HeaderFinding> findings = check_header(*header, schemas().units);
  return {std::move(header), std::move(findings)};
}

// The header that names every column of the schema, in order, under a key column "Key".
std::string full_header() {
  std::string header = "Key";
  for (std::size_t i = 1; i < units().size(); ++i) header.append(",").append(units()[i].name);
  return header;
}

// The findings as short lines: "problem column offset name meant".
std::vector<std::string> brief(const Checked& checked) {
  const std::vector<HeaderFinding>& findings = checked.findings;
  constexpr const char* kNames[] = {"separator", "near-miss", "unknown",       "missing",
                                    "duplicate", "unmapped",  "wrong-encoding"};
  std::vector<std::string> lines;
  for (const HeaderFinding& f : findings) {
    std::string line = kNames[static_cast<int>(f.problem)];
    line.append(" ").append(std::to_string(f.column)).append(" ");
    line.append(std::to_string(f.offset)).append(" ").append(f.name);
    if (!f.meant.empty()) line.append(" -> ").append(f.meant);
    if (f.first_column != 0) line.append(" first ").append(std::to_string(f.first_column));
    if (f.separator != 0)
      line.append(" ").append(std::to_string(f.separators)).append("x") += f.separator;
    if (f.columns != 0)
      line.append(" ")
          .append(std::to_string(f.named))
          .append("/")
          .append(std::to_string(f.columns)) += f.holds_values ? " values" : "";
    line.append(f.encoding);
    lines.push_back(line);
  }
  return lines;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

using Lines = std::vector<std::string>;

TEST(HeaderChecks, TheFullHeaderHasNoFindingWhateverTheKeyColumnIsNamed) {
  EXPECT_EQ(brief(check(full_header())), Lines{});
  EXPECT_EQ(brief(check(replaced(full_header(), "Key", "index"))), Lines{});
  EXPECT_EQ(brief(check(replaced(full_header(), "Key", ""))), Lines{});
}

TEST(HeaderChecks, MisspeltColumnsAreNearMissesAndNotAlsoMissing) {
  const std::string header = full_header();
  const struct {
    std::string from, to;
    Lines expected;
  } cases[] = {
      {",Name,", ",name,", {"near-miss 3 14 name -> Name"}},  // case only
      {",Jump_Drive_Present,",
       ",Jump_Drive_Presnt,",
       {"near-miss 46 " + std::to_string(header.find(",Jump_Drive_Present,") + 1) +
        " Jump_Drive_Presnt -> Jump_Drive_Present"}},
      {",Name,", ",\"Name\",", {"near-miss 3 14 \"Name\" -> Name"}},  // quotes mean nothing
      // Two edits from CockpitX, CockpitY and CockpitZ; only CockpitY is absent.
      {",CockpitY,",
       ",CockpitQ,",
       {"near-miss 12 " + std::to_string(header.find(",CockpitY,") + 1) + " CockpitQ -> CockpitY"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(brief(check(replaced(header, c.from, c.to))), c.expected) << c.to;
}

TEST(HeaderChecks, UnknownMissingAndDuplicateColumnsAreReportedInHeaderThenSchemaOrder) {
  std::string header = replaced(full_header(), ",Mass,", ",Cargo_Mass_Tonnes,");  // far off
  header = replaced(header, ",Hull,", ",Hull,Hull,");
  header += ",,Extra";
  const auto mass = std::to_string(header.find(",Cargo_Mass_Tonnes,") + 1);
  const auto second_hull = std::to_string(header.find(",Hull,Hull,") + 6);
  const auto empty = std::to_string(header.size() - 6);
  const auto extra = std::to_string(header.size() - 5);
  EXPECT_EQ(brief(check(header)),
            (Lines{"unknown 21 " + mass + " Cargo_Mass_Tonnes",
                   "duplicate 25 " + second_hull + " Hull first 24", "unknown 118 " + empty + " ",
                   "unknown 119 " + extra + " Extra", "missing 0 0 Mass"}));
}

TEST(HeaderChecks, AHeaderWithoutCommasNamesTheSeparatorItSeemsToUse) {
  std::string semicolons = full_header();
  std::replace(semicolons.begin(), semicolons.end(), ',', ';');
  EXPECT_EQ(brief(check(semicolons)), Lines{"separator 0 0  115x;"});
  EXPECT_EQ(brief(check("Key\tName\tDirectory;x")), Lines{"separator 0 0  2x\t"});
  // With a comma, semicolons are only bytes of a name.
  EXPECT_EQ(brief(check(full_header() + ",Name;Directory")).front(),
            "unknown 117 " + std::to_string(full_header().size() + 1) + " Name;Directory");
}

TEST(HeaderChecks, AHeaderThatNamesTooFewColumnsIsOneErrorThatSaysWhy) {
  // Nothing to go by: one key column.
  EXPECT_EQ(brief(check("Key")), Lines{"unmapped 0 0  1/116"});
  // The header and type lines deleted: a unit line stands in the header's place.
  EXPECT_EQ(brief(check("hornet,hornet,FALSE,12.5,{Cargo;1;2},300,,4")),
            Lines{"unmapped 0 0  1/116 values"});
  // Half of the columns named is enough to check the rest and name what is missing.
  std::string half = "Key";
  for (std::size_t i = 1; i <= 57; ++i) half.append(",").append(units()[i].name);
  EXPECT_EQ(check(half).findings.size(), 58u);
  EXPECT_EQ(brief(check(half + ",x")).front().substr(0, 9), "unknown 5");
}

TEST(HeaderChecks, AFileInUtf16OrUtf32IsOneErrorThatNamesTheEncoding) {
  const auto widened = [](std::string_view text, bool big_endian, int width) {
    std::string wide;
    for (const char c : text) {
      std::string unit(static_cast<std::size_t>(width), '\0');
      unit[big_endian ? unit.size() - 1 : 0] = c;
      wide += unit;
    }
    return wide;
  };
  EXPECT_EQ(brief(check("\xff\xfe" + widened(full_header(), false, 2))),
            Lines{"wrong-encoding 0 0 UTF-16LE"});
  EXPECT_EQ(brief(check("\xfe\xff" + widened(full_header(), true, 2))),
            Lines{"wrong-encoding 0 0 UTF-16BE"});
  EXPECT_EQ(brief(check(widened(full_header(), false, 2))), Lines{"wrong-encoding 0 0 UTF-16LE"});
  EXPECT_EQ(brief(check(widened(full_header(), true, 4))), Lines{"wrong-encoding 0 0 UTF-32"});
  EXPECT_EQ(brief(check(std::string("\xff\xfe\0\0", 4) + widened("Key", false, 4))),
            Lines{"wrong-encoding 0 0 UTF-32LE"});
  // UTF-8 with its byte-order mark, and a NUL or two in a name, are not taken for them.
  EXPECT_TRUE(check(full_header() + ",n\xc3\xa4me").findings.size() == 1);
  EXPECT_EQ(brief(check(full_header() + std::string(",a\0b", 5))).front().substr(0, 7), "unknown");
}

TEST(HeaderChecks, AHugeHeaderCostsNoMoreThanItsLength) {
  std::string header = full_header();
  for (int i = 0; i < 100000; ++i) header += ",c" + std::to_string(i);
  const Checked checked = check(header);
  const std::vector<HeaderFinding>& findings = checked.findings;
  EXPECT_EQ(findings.size(), 100000u);
  EXPECT_EQ(findings[99999].name, "c99999");
  EXPECT_EQ(findings[99999].column, 100116);
}

}  // namespace
}  // namespace unitcheck::lint
