#include "lint/rules.h"

#include <algorithm>
#include <array>
#include <optional>

#include "lint/rule_text.h"
#include "tables/schemas.h"

namespace unitcheck::lint {

namespace {

using enum Severity;

// The helps that count the unit table's columns.
constexpr RuleText kTooManyCellsHelp = [] {
  RuleText text;
  text << "A unit line has at most one cell per column of the unit table (" << kUnitColumnCount
       << "). Look for a comma in an unquoted text, a number written with a decimal comma (the "
          "message names it when one explains the extra cell), or cells added by mistake.";
  return text;
}();
constexpr RuleText kTooFewCellsHelp = [] {
  RuleText text;
  text << "A unit line has one cell per column of the unit table (" << kUnitColumnCount
       << "), empty ones included. Look for a line cut short or joined cells.";
  return text;
}();

constexpr RuleInfo kRules[] = {
    {Rule::TextTooLong, FindingKind::TextTooLong, "text-too-long", Error,
     "A text cell is longer than its column holds.",
     "A text column holds at most its declared number of bytes (unitlint --schema lists them). "
     "Shorten the value."},
    {Rule::DirectoryMissing, FindingKind::DirectoryMissing, "directory-missing", Error,
     "The unit's directory is not a directory under units/.",
     "Directory names the unit's folder under units/ of the data directory. Create the folder or "
     "correct the name; letter case matters."},
    {Rule::CockpitMissing, FindingKind::CockpitMissing, "cockpit-missing", Error,
     "The cockpit is not a directory under cockpits/.",
     "Cockpit names a folder under cockpits/ of the data directory. Create the folder or correct "
     "the name; letter case matters."},
    {Rule::MeshMissing, FindingKind::MeshMissing, "mesh-missing", Error,
     "A mesh or image file is neither in the unit's directory nor in meshes/.",
     "Mesh, Shield_Mesh, Rapid_Mesh, BSP_Mesh and Hud_image name files looked up in the unit's "
     "directory under units/, then in meshes/. Add the file or correct the name."},
    {Rule::NotBoolean, FindingKind::NotBoolean, "not-boolean", Error,
     "A boolean cell holds another word.",
     "A boolean cell is TRUE, true, FALSE, false, 1 or 0, nothing else."},
    {Rule::FloatCharacters, FindingKind::NotFloat, "float-characters", Error,
     "A floating-point cell holds a byte no number has.",
     "A floating-point cell holds only digits, the signs + and -, a point, and E or e for the "
     "exponent, such as -12.5 or 3e-2."},
    {Rule::FloatSyntax, FindingKind::FloatConversion, "float-syntax", Error,
     "A floating-point cell is not a number.",
     "The cell holds only number characters, but not in the order of a number, such as two points "
     "or a sign in the middle. Write one number, such as -12.5 or 3e-2."},
    {Rule::IntegerCharacters, FindingKind::NotInteger, "integer-characters", Error,
     "An integer cell holds a byte other than digits and minus.",
     "An integer cell holds only digits, with a minus sign first when negative."},
    {Rule::IntegerSyntax, FindingKind::IntegerConversion, "integer-syntax", Error,
     "An integer cell is not a whole number in range.",
     "The cell holds only digits and minus signs, but not a whole number with the sign first, "
     "from -9223372036854775808 to 9223372036854775807."},
    {Rule::TooManyCells, FindingKind::TooManyCells, "too-many-cells", Error,
     "A unit line has more cells than the table.", kTooManyCellsHelp.view()},
    {Rule::TooFewCells, FindingKind::TooFewCells, "too-few-cells", Error,
     "A unit line has fewer cells than the table.", kTooFewCellsHelp.view()},
    {Rule::NestedUnclosedGroup, FindingKind::UnclosedGroup, "nested-unclosed-group", Error,
     "A group of a nested list opens before the previous one is closed.",
     "Each group of a nested list is written {value;value;...} and closed with } before the next "
     "{ opens."},
    {Rule::NestedTooManyValues, FindingKind::TooManyValues, "nested-too-many-values", Error,
     "A group of a nested list holds more values than the list has fields.",
     "A group holds at most one value per field of its nested list (unitlint --schema lists "
     "them)."},
    {Rule::NestedTextTooLong, FindingKind::NestedTextTooLong, "nested-text-too-long", Error,
     "A text value of a nested list is longer than its field holds.",
     "A text field of a nested list holds at most its declared number of bytes (unitlint --schema "
     "lists them)."},
    {Rule::UnknownCategory, FindingKind::CategoryNotFound, "unknown-category", Error,
     "An imported cargo category is not a category of the part list.",
     "Cargo_Import's Cat is a category of master_part_list.csv, or a leading part of one such as "
     "Upgrades, in any letter case."},
    {Rule::UnknownCargo, FindingKind::CargoPartNotFound, "unknown-cargo", Error,
     "A cargo item names neither a part nor a category of the part list.",
     "Each cargo item names a part of master_part_list.csv, or a category of it."},
    {Rule::NestedNotBoolean, FindingKind::NestedNotBoolean, "nested-not-boolean", Error,
     "A boolean value of a nested list is not 1, 0 or empty.",
     "A boolean field of a nested list holds 1, 0 or nothing."},
    {Rule::NestedIntegerCharacters, FindingKind::NestedNotInteger, "nested-integer-characters",
     Error, "An integer value of a nested list holds a byte other than digits and minus.",
     "An integer field of a nested list holds only digits, with a minus sign first when negative, "
     "or nothing."},
    {Rule::NestedIntegerSyntax, FindingKind::NestedIntegerConversion, "nested-integer-syntax",
     Error, "An integer value of a nested list is not a whole number in range.",
     "The value holds only digits and minus signs, but not a whole number from -2147483648 to "
     "2147483647 with the sign first."},
    {Rule::NestedFloatCharacters, FindingKind::NestedNotFloat, "nested-float-characters", Error,
     "A floating-point value of a nested list holds a byte no number has.",
     "A floating-point field of a nested list holds only digits, + and -, a point, and E or e, or "
     "nothing."},
    {Rule::NestedFloatSyntax, FindingKind::NestedFloatConversion, "nested-float-syntax", Error,
     "A floating-point value of a nested list is not a number.",
     "The value holds only number characters, but not in the order of a number. Write one number, "
     "such as -12.5 or 3e-2."},
    {Rule::NestedUnclosedLastGroup, FindingKind::UnclosedLastGroup, "nested-unclosed-last-group",
     Warning, "The last group of a nested list is never closed.",
     "Each group of a nested list ends with \"}\". The values of a group left open at the end of "
     "its cell are not all checked, and the game may read them differently."},
    {Rule::WrongSeparator, HeaderProblem::WrongSeparator, "wrong-separator", Error,
     "The header line is not separated by commas.",
     "units.csv is comma-separated. A header with semicolons or tabs and no comma comes from a "
     "spreadsheet saved with another separator: save it again as comma-separated values."},
    {Rule::UnknownColumnNearMiss, HeaderProblem::NearMiss, "unknown-column-near-miss", Error,
     "A header column is a misspelling of a column of the unit table.",
     "Header names are matched exactly, letter case included. A name that differs from a column "
     "of the unit table in case or by one or two letters leaves that column unchecked: correct "
     "it."},
    {Rule::UnknownColumn, HeaderProblem::UnknownColumn, "unknown-column", Warning,
     "A header column is not a column of the unit table.",
     "Cells under a column the unit table does not have are not checked. Remove the column, or "
     "name one of the unit table's columns (unitlint --schema lists them)."},
    {Rule::MissingColumn, HeaderProblem::MissingColumn, "missing-column", Warning,
     "A column of the unit table is not in the header.",
     "No cell of a column missing from the header is checked. Add the column if the units need "
     "it."},
    {Rule::DuplicateColumn, HeaderProblem::DuplicateColumn, "duplicate-column", Warning,
     "A header column is named twice.",
     "Each column of the unit table appears once in the header; both cells of a doubled column "
     "are checked, and the game reads one of them."},
    {Rule::EmptyKey, FindingKind::EmptyKey, "empty-key", Warning,
     "A unit line has no key and is not checked.",
     "The first cell of a unit line is its key; a line whose key is empty names no unit, and "
     "none of its cells is checked. Give the unit its key, or delete the line."},
    {Rule::HeaderUnmapped, HeaderProblem::Unmapped, "header-unmapped", Error,
     "The header names too few columns of the unit table for its cells to be checked.",
     "The first line of units.csv names the columns and the second gives their types; the unit "
     "lines follow. A header that names none, or fewer than half, of the unit table's columns "
     "usually means that those two lines were deleted, that another separator than the comma "
     "was used, or that the file is in another encoding than UTF-8. Restore the two lines from "
     "the game's own units.csv, or save the file again as comma-separated UTF-8."},
    {Rule::NotUtf8, HeaderProblem::NotUtf8, "wrong-encoding", Error,
     "The unit table is saved as UTF-16 or UTF-32.",
     "units.csv is read as bytes of UTF-8 (or ASCII). A file saved as UTF-16 or UTF-32 (as some "
     "editors and spreadsheets do under \"Unicode\") has none of its cells checked: save the "
     "file as UTF-8."},
    {Rule::NoUnitsChecked, RuleSource::whole_run(), "no-units-checked", Error,
     "No unit line of the unit table was checked.",
     "A run that checked no unit is no clean run: the unit table holds no line after its two "
     "header lines, or every line's key (its first cell) is empty, so none was checked. Give the "
     "units their keys, or check the data directory the mod really uses."},
    {Rule::PathOutsideData, FindingKind::PathOutsideData, "path-outside-data", Warning,
     "A Directory, Cockpit or mesh cell leads outside the data directory.",
     "Directory, Cockpit, Mesh, Shield_Mesh, Rapid_Mesh, BSP_Mesh and Hud_image name places "
     "inside the data directory, relative to units/, cockpits/ or meshes/. A cell that is "
     "absolute, climbs above the data directory with \"..\", or names a symbolic link that leads "
     "out of it, reaches the reader's other files: name a folder or file inside the mod "
     "instead. Nothing outside is listed for suggestions."},
};

static_assert(std::size(kRules) == kRuleCount);
static_assert(std::ranges::all_of(kRules, [](const RuleInfo& info) {
  return &info - kRules == static_cast<std::ptrdiff_t>(info.rule);
}));

// The rule of each source of one kind (FindingKind or HeaderProblem), by its index: each such
// source is reported under exactly one rule.
template <std::size_t Count>
constexpr std::optional<std::array<Rule, Count>> rules_of(RuleSource::Of of) {
  std::array<Rule, Count> rules{};
  std::array<int, Count> rows{};
  for (const RuleInfo& info : kRules) {
    if (info.source.of != of) continue;
    if (info.source.index >= Count) return std::nullopt;
    rules[info.source.index] = info.rule;
    ++rows[info.source.index];
  }
  if (!std::ranges::all_of(rows, [](int n) { return n == 1; })) return std::nullopt;
  return rules;
}

constexpr auto kFindingRuleTable = rules_of<kFindingKinds>(RuleSource::Of::Finding);
static_assert(kFindingRuleTable.has_value(), "each kind of finding has exactly one rule");
constexpr std::array<Rule, kFindingKinds> kFindingRules = *kFindingRuleTable;
constexpr auto kHeaderRuleTable = rules_of<kHeaderProblems>(RuleSource::Of::Header);
static_assert(kHeaderRuleTable.has_value(), "each problem of the header has exactly one rule");
constexpr std::array<Rule, kHeaderProblems> kHeaderRules = *kHeaderRuleTable;

}  // namespace

std::span<const RuleInfo> all_rules() {
  return kRules;
}

const RuleInfo& rule_info(Rule rule) {
  return kRules[static_cast<std::size_t>(rule)];
}

Rule rule_for(FindingKind kind) {
  return kFindingRules[static_cast<std::size_t>(kind)];
}

Rule rule_for(HeaderProblem problem) {
  return kHeaderRules[static_cast<std::size_t>(problem)];
}

std::string_view severity_name(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      return "note";
  }
  return "error";
}

}  // namespace unitcheck::lint
