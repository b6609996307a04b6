#include "lint/lint_messages.h"
#include "lint/suggestion_lists.h"
#include "support/describe.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/lint_fixture.h"
#include "validate/path_bounds.h"

namespace unitcheck::lint {
namespace {

constexpr std::string_view kCategories[] = {"Raw_Materials/Metals", "Equipment/Mining_Gear"};
constexpr std::string_view kParts[] = {"mining_laser"};
constexpr std::string_view kDirectories[] = {"hornet", "talon"};
constexpr std::string_view kCockpits[] = {"fighter-cockpit"};

TEST(LintMessages, EveryKindOfFindingReadsOnItsOwnWithItsRuleAndPlace) {
  SuggestionLists names;
  names.categories = NameIndex(kCategories);
  names.part_names = NameIndex(kParts);
  names.unit_directories = NameIndex(kDirectories);
  names.cockpits = NameIndex(kCockpits);
  const struct {
    std::string_view rule;
    std::int64_t column, end_column;
    std::string message, suggestion;
  } expected[] = {
      {"text-too-long", 15, 34,
       "Name: \"Mule Bulk Freighter\" is 19 bytes long; the column holds at most 15", ""},
      {"directory-missing", 8, 15,
       "Directory: \"hornett\" is not a directory in units/; did you mean \"hornet\"?", "hornet"},
      {"cockpit-missing", 41, 55,
       "Cockpit: \"fighter-cockpt\" is not a directory in cockpits/; did you mean "
       "\"fighter-cockpit\"?",
       "fighter-cockpit"},
      {"mesh-missing", 61, 78,
       "Shield_Mesh: file \"talon-shield.mesh\" is neither in the unit's directory nor in meshes/",
       ""},
      {"not-boolean", 301, 306,
       "Jump_Drive_Present: \"flase\" is not a boolean (TRUE, true, FALSE, false, 1 or 0); did you "
       "mean \"false\"?",
       "false"},
      {"float-characters", 321, 332,
       "Mass: \"12,5kg\\\"\\x1b[2J\" is not a floating-point number: byte 3 (',') is not a digit, "
       "sign, point or exponent",
       ""},
      {"float-syntax", 331, 338,
       "Forward_Accel: \"110.5.0\" is not a floating-point number: it breaks off at byte 6 ('.')",
       ""},
      {"integer-characters", 341, 346,
       "Hold_Volume: \"1 200\" is not an integer: byte 2 (' ') is not a digit or minus sign", ""},
      {"integer-syntax", 351, 371,
       "Warp_Capacitor: \"99999999999999999999\" is not a 64-bit integer: it is out of range from "
       "byte 19 ('9')",
       ""},
      {"too-many-cells", 901, 901, "the line has more cells than the 116 columns of the unit table",
       ""},
      {"too-few-cells", 13, 13, "the line has 2 cells; a unit line has 116", ""},
      {"nested-unclosed-group", 501, 502,
       "Dock: a \"{\" opens a group of dock while the one before is not closed with \"}\"", ""},
      {"nested-too-many-values", 531, 532,
       "Dock: a group of dock holds more values than its 6 fields", ""},
      {"nested-text-too-long", 601, 624,
       "Cargo: cargo.description \"A very long description\" is 23 bytes long; the field holds "
       "at most 10",
       ""},
      {"unknown-category", 701, 720,
       "Cargo_Import: cargo_import.Cat \"Raw_Materials/Metal\" is not a category of "
       "master_part_list.csv; did you mean \"Raw_Materials/Metals\"?",
       "Raw_Materials/Metals"},
      {"unknown-cargo", 801, 817,
       "Cargo: neither the part \"mining_lazer\" nor the category \"Equipment/Mining\" is in "
       "master_part_list.csv; did you mean the part \"mining_laser\"?",
       "mining_laser"},
      {"nested-not-boolean", 851, 855,
       "Cargo: cargo.missionCargo \"true\" is not 1, 0 or empty; did you mean \"1\"?", "1"},
      {"nested-integer-characters", 861, 870,
       "Cargo: cargo.quant \"caf\\xe9%,:\\x0d\\x0a\" is not an integer: byte 1 ('c') is not a "
       "digit "
       "or minus sign",
       ""},
      {"nested-integer-syntax", 871, 874,
       "Upgrades: upgrades.mountoffset \"3-1\" is not a 32-bit integer: it breaks off at byte 2 "
       "('-')",
       ""},
      {"nested-float-characters", 881, 884,
       "Mounts: mounts.volume \"1/2\" is not a floating-point number: byte 2 ('/') is not a "
       "digit, sign, point or exponent",
       ""},
      {"nested-float-syntax", 891, 893,
       "Light: light.scale \"1e\" is not a floating-point number: it ends before the number is "
       "complete",
       ""},
      {"nested-unclosed-last-group", 901, 905,
       "Dock: the last group of dock is not closed with \"}\"; its last value is not checked", ""},
      {"empty-key", 1, 1,
       "the line's first cell, the unit's key, is empty: the line names no unit and none of its "
       "cells is checked",
       ""},
      {"path-outside-data", 8, 17,
       "Directory: \"../../etc\" climbs above the data directory with \"..\"", ""},
  };
  const std::vector<Finding> findings = testing::sample_findings();
  ASSERT_EQ(findings.size(), std::size(expected));
  ASSERT_EQ(findings.size(), static_cast<std::size_t>(kFindingKinds));
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const LintFinding described = describe(findings[i], {&names, {}});
    EXPECT_EQ(rule_info(described.rule).id, expected[i].rule);
    // Every diagnostic of the transcript is an error; what it has no line for only warns.
    EXPECT_EQ(described.severity,
              in_transcript(findings[i].kind) ? Severity::Error : Severity::Warning);
    EXPECT_EQ(described.line, findings[i].line);
    EXPECT_EQ(described.column, expected[i].column) << expected[i].rule;
    EXPECT_EQ(described.end_column, expected[i].end_column) << expected[i].rule;
    EXPECT_EQ(described.message, expected[i].message);
    EXPECT_EQ(described.suggestion, expected[i].suggestion);
  }
}

TEST(LintMessages, ConversionsSayWhereAndWhyTheyStopped) {
  Finding f;
  f.kind = FindingKind::IntegerConversion;
  f.column = "Slide_End";
  const struct {
    std::string value;
    std::int64_t error_position;
    std::string ending;
  } cases[] = {
      {"-", 2, "it ends before the number is complete"},
      {"--5", 2, "it breaks off at byte 2 ('-')"},
      {"-9223372036854775809", 20, "it is out of range from byte 20 ('9')"},
      {std::string(300, '1'), 256, "it is longer than 255 bytes"},
  };
  for (const auto& c : cases) {
    f.value = c.value;
    f.error_position = c.error_position;
    const std::string message = describe(f, {}).message;
    EXPECT_EQ(message.substr(message.find(": it") + 2), c.ending) << c.value;
  }
}

TEST(LintMessages, NoSuggestionWithoutNamesAndCargoPrefersTheCategory) {
  std::vector<Finding> findings = testing::sample_findings();
  for (const Finding& f : findings) {
    // Only the boolean words need no list.
    const bool boolean =
        f.kind == FindingKind::NotBoolean || f.kind == FindingKind::NestedNotBoolean;
    EXPECT_EQ(describe(f, {}).suggestion.empty(), !boolean) << static_cast<int>(f.kind);
  }
  Finding cargo = findings[15];
  cargo.value = "Equipment/Mining_Gea";
  SuggestionLists names;
  names.categories = NameIndex(kCategories);
  names.part_names = NameIndex(kParts);
  EXPECT_EQ(describe(cargo, {&names, {}}).suggestion, "Equipment/Mining_Gear");
  EXPECT_NE(describe(cargo, {&names, {}}).message.find("did you mean the category"),
            std::string::npos);
}

// A long value is cut at 200 bytes, or before the character the 200th byte is in, and its
// length follows with its thousands grouped; a value of 200 bytes is whole. Each way a path
// leaves the data directory has its words.
TEST(LintMessages, LongValuesAreCutBeforeACharacterAndPathsSayHowTheyLeave) {
  const std::string ascii(5000, 'N');
  const std::string two_bytes = std::string(199, 'a') + "\xc3\xa9" + std::string(99, 'b');
  std::string euros = "b";
  for (int k = 0; k < 100; ++k) euros += "\xe2\x82\xac";
  const std::string stray = std::string(199, 'c') + "\x80\x80\x80" + std::string(50, 'd');
  const std::string whole = std::string(198, 'c') + "\xc3\xa9";
  EXPECT_EQ(lint::quoted(ascii), lint::quoted(ascii.substr(0, 200)) + "... (5,000 bytes)");
  EXPECT_EQ(lint::quoted(two_bytes), lint::quoted(two_bytes.substr(0, 199)) + "... (300 bytes)");
  EXPECT_EQ(lint::quoted(two_bytes.substr(0, 199)).size(), 201u);
  EXPECT_EQ(lint::quoted(euros), lint::quoted(euros.substr(0, 199)) + "... (301 bytes)");
  EXPECT_EQ(lint::quoted(stray), lint::quoted(stray.substr(0, 200)) + "... (252 bytes)");
  EXPECT_EQ(lint::quoted(whole).find("..."), std::string::npos);
  EXPECT_EQ(lint::quoted(std::string(1'234'567, 'x')).substr(202), "... (1,234,567 bytes)");
  EXPECT_EQ(lint::quoted(std::string(1'000'005, 'x')).substr(202), "... (1,000,005 bytes)");

  const SuggestionLists names;
  Finding f;
  f.kind = FindingKind::PathOutsideData;
  f.column = "Cockpit";
  f.value = "C:\\games";
  f.limit = static_cast<std::int64_t>(PathEscape::Absolute);
  EXPECT_EQ(describe(f, {&names, {}}).message,
            "Cockpit: \"C:\\games\" is an absolute path; a mod names its files relative to its "
            "data directory");
  f.limit = static_cast<std::int64_t>(PathEscape::Linked);
  EXPECT_EQ(describe(f, {&names, {}}).message,
            "Cockpit: \"C:\\games\" leads outside the data directory through a symbolic link");
}

TEST(LintMessages, HeaderFindingsPointAtTheNameOnTheFirstLine) {
  HeaderFinding near;
  near.problem = HeaderProblem::NearMiss;
  near.column = 3;
  near.offset = 14;
  near.name = "name";
  near.meant = "Name";
  const LintFinding described = describe(near);
  EXPECT_EQ(rule_info(described.rule).id, "unknown-column-near-miss");
  EXPECT_EQ(described.severity, Severity::Error);
  EXPECT_EQ(described.line, 1);
  EXPECT_EQ(described.column, 15);
  EXPECT_EQ(described.end_column, 19);
  EXPECT_EQ(described.message,
            "header column 3, \"name\", is not a column of the unit table (names match exactly, "
            "letter case included); did you mean \"Name\"?");
  HeaderFinding tabs;
  tabs.problem = HeaderProblem::WrongSeparator;
  tabs.separator = '\t';
  tabs.separators = 1;
  EXPECT_EQ(describe(tabs).message,
            "the header has no comma but 1 tab; units.csv is comma-separated");
  EXPECT_EQ(describe(tabs).column, 1);
  HeaderFinding missing;
  missing.problem = HeaderProblem::MissingColumn;
  missing.name = "Cloak_Glass";
  EXPECT_EQ(describe(missing).severity, Severity::Warning);
  EXPECT_EQ(describe(missing).unit_column, "Cloak_Glass");
  EXPECT_EQ(summary_line(1, 1, 1, "a/units/units.csv"),
            "1 error, 1 warning in 1 row of a/units/units.csv");
  EXPECT_EQ(summary_line(0, 2, 2000, "u"), "0 errors, 2 warnings in 2000 rows of u");
}

TEST(LintRules, IdsAreUniqueKebabCaseAndEveryKindHasItsOwnRule) {
  std::set<std::string_view> ids;
  for (const RuleInfo& rule : all_rules()) {
    EXPECT_TRUE(ids.insert(rule.id).second) << rule.id;
    for (const char c : rule.id) EXPECT_TRUE((c >= 'a' && c <= 'z') || c == '-') << rule.id;
    EXPECT_EQ(&rule_info(rule.rule), &rule);
    EXPECT_FALSE(rule.summary.empty());
    EXPECT_FALSE(rule.help.empty());
  }
  std::set<Rule> rules;
  for (int k = 0; k < kFindingKinds; ++k) rules.insert(rule_for(static_cast<FindingKind>(k)));
  EXPECT_EQ(rules.size(), static_cast<std::size_t>(kFindingKinds));
}

}  // namespace
}  // namespace unitcheck::lint
