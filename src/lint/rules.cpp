#include "lint/rules.h"

namespace unitcheck::lint {

namespace {

using enum Severity;

constexpr RuleInfo kRules[] = {
    {Rule::TextTooLong, "text-too-long", Error, "A text cell is longer than its column holds.",
     "A text column holds at most its declared number of bytes (unitlint --schema lists them). "
     "Shorten the value."},
    {Rule::DirectoryMissing, "directory-missing", Error,
     "The unit's directory is not a directory under units/.",
     "Directory names the unit's folder under units/ of the data directory. Create the folder or "
     "correct the name; letter case matters."},
    {Rule::CockpitMissing, "cockpit-missing", Error,
     "The cockpit is not a directory under cockpits/.",
     "Cockpit names a folder under cockpits/ of the data directory. Create the folder or correct "
     "the name; letter case matters."},
    {Rule::MeshMissing, "mesh-missing", Error,
     "A mesh or image file is neither in the unit's directory nor in meshes/.",
     "Mesh, Shield_Mesh, Rapid_Mesh, BSP_Mesh and Hud_image name files looked up in the unit's "
     "directory under units/, then in meshes/. Add the file or correct the name."},
    {Rule::NotBoolean, "not-boolean", Error, "A boolean cell holds another word.",
     "A boolean cell is TRUE, true, FALSE, false, 1 or 0, nothing else."},
    {Rule::FloatCharacters, "float-characters", Error,
     "A floating-point cell holds a byte no number has.",
     "A floating-point cell holds only digits, the signs + and -, a point, and E or e for the "
     "exponent, such as -12.5 or 3e-2."},
    {Rule::FloatSyntax, "float-syntax", Error, "A floating-point cell is not a number.",
     "The cell holds only number characters, but not in the order of a number, such as two points "
     "or a sign in the middle. Write one number, such as -12.5 or 3e-2."},
    {Rule::IntegerCharacters, "integer-characters", Error,
     "An integer cell holds a byte other than digits and minus.",
     "An integer cell holds only digits, with a minus sign first when negative."},
    {Rule::IntegerSyntax, "integer-syntax", Error,
     "An integer cell is not a whole number in range.",
     "The cell holds only digits and minus signs, but not a whole number with the sign first, "
     "from -9223372036854775808 to 9223372036854775807."},
    {Rule::TooManyCells, "too-many-cells", Error, "A unit line has more cells than the table.",
     "A unit line has at most one cell per column of the unit table (116). Look for a comma in an "
     "unquoted text, a number written with a decimal comma (the message names it when one "
     "explains the extra cell), or cells added by mistake."},
    {Rule::TooFewCells, "too-few-cells", Error, "A unit line has fewer cells than the table.",
     "A unit line has one cell per column of the unit table (116), empty ones included. Look for a "
     "line cut short or joined cells."},
    {Rule::NestedUnclosedGroup, "nested-unclosed-group", Error,
     "A group of a nested list opens before the previous one is closed.",
     "Each group of a nested list is written {value;value;...} and closed with } before the next "
     "{ opens."},
    {Rule::NestedTooManyValues, "nested-too-many-values", Error,
     "A group of a nested list holds more values than the list has fields.",
     "A group holds at most one value per field of its nested list (unitlint --schema lists "
     "them)."},
    {Rule::NestedTextTooLong, "nested-text-too-long", Error,
     "A text value of a nested list is longer than its field holds.",
     "A text field of a nested list holds at most its declared number of bytes (unitlint --schema "
     "lists them)."},
    {Rule::UnknownCategory, "unknown-category", Error,
     "An imported cargo category is not a category of the part list.",
     "Cargo_Import's Cat is a category of master_part_list.csv, or a leading part of one such as "
     "Upgrades, in any letter case."},
    {Rule::UnknownCargo, "unknown-cargo", Error,
     "A cargo item names neither a part nor a category of the part list.",
     "Each cargo item names a part of master_part_list.csv, or a category of it."},
    {Rule::NestedNotBoolean, "nested-not-boolean", Error,
     "A boolean value of a nested list is not 1, 0 or empty.",
     "A boolean field of a nested list holds 1, 0 or nothing."},
    {Rule::NestedIntegerCharacters, "nested-integer-characters", Error,
     "An integer value of a nested list holds a byte other than digits and minus.",
     "An integer field of a nested list holds only digits, with a minus sign first when negative, "
     "or nothing."},
    {Rule::NestedIntegerSyntax, "nested-integer-syntax", Error,
     "An integer value of a nested list is not a whole number in range.",
     "The value holds only digits and minus signs, but not a whole number from -2147483648 to "
     "2147483647 with the sign first."},
    {Rule::NestedFloatCharacters, "nested-float-characters", Error,
     "A floating-point value of a nested list holds a byte no number has.",
     "A floating-point field of a nested list holds only digits, + and -, a point, and E or e, or "
     "nothing."},
    {Rule::NestedFloatSyntax, "nested-float-syntax", Error,
     "A floating-point value of a nested list is not a number.",
     "The value holds only number characters, but not in the order of a number. Write one number, "
     "such as -12.5 or 3e-2."},
    {Rule::NestedUnclosedLastGroup, "nested-unclosed-last-group", Warning,
     "The last group of a nested list is never closed.",
     "Each group of a nested list ends with \"}\". The values of a group left open at the end of "
     "its cell are not all checked, and the game may read them differently."},
    {Rule::WrongSeparator, "wrong-separator", Error, "The header line is not separated by commas.",
     "units.csv is comma-separated. A header with semicolons or tabs and no comma comes from a "
     "spreadsheet saved with another separator: save it again as comma-separated values."},
    {Rule::UnknownColumnNearMiss, "unknown-column-near-miss", Error,
     "A header column is a misspelling of a column of the unit table.",
     "Header names are matched exactly, letter case included. A name that differs from a column "
     "of the unit table in case or by one or two letters leaves that column unchecked: correct "
     "it."},
    {Rule::UnknownColumn, "unknown-column", Warning,
     "A header column is not a column of the unit table.",
     "Cells under a column the unit table does not have are not checked. Remove the column, or "
     "name one of the unit table's columns (unitlint --schema lists them)."},
    {Rule::MissingColumn, "missing-column", Warning,
     "A column of the unit table is not in the header.",
     "No cell of a column missing from the header is checked. Add the column if the units need "
     "it."},
    {Rule::DuplicateColumn, "duplicate-column", Warning, "A header column is named twice.",
     "Each column of the unit table appears once in the header; both cells of a doubled column "
     "are checked, and the game reads one of them."},
    {Rule::EmptyKey, "empty-key", Warning, "A unit line has no key and is not checked.",
     "The first cell of a unit line is its key; a line whose key is empty names no unit, and "
     "none of its cells is checked. Give the unit its key, or delete the line."},
    {Rule::HeaderUnmapped, "header-unmapped", Error,
     "The header names too few columns of the unit table for its cells to be checked.",
     "The first line of units.csv names the columns and the second gives their types; the unit "
     "lines follow. A header that names none, or fewer than half, of the unit table's columns "
     "usually means that those two lines were deleted, that another separator than the comma "
     "was used, or that the file is in another encoding than UTF-8. Restore the two lines from "
     "the game's own units.csv, or save the file again as comma-separated UTF-8."},
    {Rule::NotUtf8, "wrong-encoding", Error, "The unit table is saved as UTF-16 or UTF-32.",
     "units.csv is read as bytes of UTF-8 (or ASCII). A file saved as UTF-16 or UTF-32 (as some "
     "editors and spreadsheets do under \"Unicode\") has none of its cells checked: save the "
     "file as UTF-8."},
    {Rule::NoUnitsChecked, "no-units-checked", Error, "No unit line of the unit table was checked.",
     "A run that checked no unit is no clean run: the unit table holds no line after its two "
     "header lines, or every line's key (its first cell) is empty, so none was checked. Give the "
     "units their keys, or check the data directory the mod really uses."},
    {Rule::PathOutsideData, "path-outside-data", Warning,
     "A Directory, Cockpit or mesh cell leads outside the data directory.",
     "Directory, Cockpit, Mesh, Shield_Mesh, Rapid_Mesh, BSP_Mesh and Hud_image name places "
     "inside the data directory, relative to units/, cockpits/ or meshes/. A cell that is "
     "absolute, climbs above the data directory with \"..\", or names a symbolic link that leads "
     "out of it, reaches the reader's other files: name a folder or file inside the mod "
     "instead. Nothing outside is listed for suggestions."},
};

static_assert(std::size(kRules) == kRuleCount);

}  // namespace

std::span<const RuleInfo> all_rules() {
  return kRules;
}

const RuleInfo& rule_info(Rule rule) {
  return kRules[static_cast<std::size_t>(rule)];
}

Rule rule_for(FindingKind kind) {
  switch (kind) {
    case FindingKind::TextTooLong:
      return Rule::TextTooLong;
    case FindingKind::DirectoryMissing:
      return Rule::DirectoryMissing;
    case FindingKind::CockpitMissing:
      return Rule::CockpitMissing;
    case FindingKind::MeshMissing:
      return Rule::MeshMissing;
    case FindingKind::NotBoolean:
      return Rule::NotBoolean;
    case FindingKind::NotFloat:
      return Rule::FloatCharacters;
    case FindingKind::FloatConversion:
      return Rule::FloatSyntax;
    case FindingKind::NotInteger:
      return Rule::IntegerCharacters;
    case FindingKind::IntegerConversion:
      return Rule::IntegerSyntax;
    case FindingKind::TooManyCells:
      return Rule::TooManyCells;
    case FindingKind::TooFewCells:
      return Rule::TooFewCells;
    case FindingKind::UnclosedGroup:
      return Rule::NestedUnclosedGroup;
    case FindingKind::TooManyValues:
      return Rule::NestedTooManyValues;
    case FindingKind::NestedTextTooLong:
      return Rule::NestedTextTooLong;
    case FindingKind::CategoryNotFound:
      return Rule::UnknownCategory;
    case FindingKind::CargoPartNotFound:
      return Rule::UnknownCargo;
    case FindingKind::NestedNotBoolean:
      return Rule::NestedNotBoolean;
    case FindingKind::NestedNotInteger:
      return Rule::NestedIntegerCharacters;
    case FindingKind::NestedIntegerConversion:
      return Rule::NestedIntegerSyntax;
    case FindingKind::NestedNotFloat:
      return Rule::NestedFloatCharacters;
    case FindingKind::NestedFloatConversion:
      return Rule::NestedFloatSyntax;
    case FindingKind::UnclosedLastGroup:
      return Rule::NestedUnclosedLastGroup;
    case FindingKind::EmptyKey:
      return Rule::EmptyKey;
    case FindingKind::PathOutsideData:
      return Rule::PathOutsideData;
  }
  return Rule::TextTooLong;
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
