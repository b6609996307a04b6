#include "lint/schema_listing.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "lint/json_format.h"
#include "tables/schemas.h"

namespace unitcheck::lint {

namespace {

using Json = nlohmann::ordered_json;

std::span<const ColumnSchema> unit_columns() {
  return find_table_schema("units")->columns;
}

std::span<const ColumnSchema> nested_fields(const NestedListColumn& list) {
  return find_table_schema(list.table)->columns;
}

// The nested list a unit column holds, or empty.
std::string_view nested_table_of(std::string_view column) {
  for (const NestedListColumn& list : nested_list_columns())
    if (list.column == column) return list.table;
  return {};
}

// The first column is named as unit tables' headers name it: whatever its header cell says, it
// is the unit's key. The schema tables call it index, and so does --schema's JSON "name", which
// scripts read; its "header_name" is Key.
constexpr std::string_view kKeyColumn = "Key";

std::string_view shown_name(const ColumnSchema& column, bool unit_table, std::size_t index) {
  return unit_table && index == 0 ? kKeyColumn : std::string_view(column.name);
}

// Why a unit column's declared type is not what its cells are checked as, or empty: the unit
// table declares twelve columns integer that hold no numbers, seven of them nested lists.
std::string_view type_note(const ColumnSchema& column) {
  if (column.type != FieldType::Integer) return {};
  if (!nested_table_of(column.name).empty())
    return "declared integer, holds a nested list: its fields are checked";
  return "declared integer, never read as a number: holds text, not checked";
}

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text);
  out.resize(std::max(width, text.size()), ' ');
  return out;
}

std::string right_aligned(std::string text, std::size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string size_text(const ColumnSchema& column) {
  return column.type == FieldType::Text ? std::to_string(column.size) : std::string();
}

// "  3  Name       text      45  upgrades": one aligned line per column; the unit table's
// (with_nested) name their nested lists and say why a column is not checked as typed.
std::string text_lines(std::span<const ColumnSchema> columns, bool with_nested) {
  std::size_t width = 0;
  for (const ColumnSchema& column : columns) width = std::max(width, column.name.size());
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnSchema& column = columns[i];
    std::string line = right_aligned(std::to_string(i + 1), 3) + "  " +
                       padded(shown_name(column, with_nested, i), width) + "  " +
                       padded(field_type_name(column.type), 7) + "  " +
                       right_aligned(size_text(column), 3);
    if (with_nested && !nested_table_of(column.name).empty())
      line += "  nested list " + std::string(nested_table_of(column.name));
    if (with_nested && !type_note(column).empty())
      line.append(" (").append(type_note(column)).append(")");
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  }
  return text;
}

Json column_json(std::size_t index, const ColumnSchema& column) {
  Json json;
  json["position"] = index + 1;
  json["name"] = column.name;
  json["type"] = field_type_name(column.type);
  json["size"] = column.type == FieldType::Text ? Json(column.size) : Json(nullptr);
  return json;
}

// A table row; with_nested adds the cells that link a unit column to its nested list and say
// why it is not checked as typed.
std::string markdown_row(std::size_t index, const ColumnSchema& column, bool with_nested) {
  std::string row = "| " + std::to_string(index + 1) + " | `" +
                    std::string(shown_name(column, with_nested, index)) + "` | " +
                    std::string(field_type_name(column.type)) + " | " + size_text(column) + " |";
  if (with_nested) {
    const std::string nested(nested_table_of(column.name));
    row += nested.empty() ? " |" : " [" + nested + "](#" + nested + ") |";
    row.append(" ").append(type_note(column)).append(" |");
  }
  return row + "\n";
}

constexpr std::string_view kMarkdownHead =
    "# The unit table's schema\n"
    "\n"
    "Written by `unitlint --schema --format markdown` from the schema tables the checks use; a "
    "test keeps this file equal to that output.\n"
    "\n"
    "Types: `text` holds at most *size* bytes; `integer` is a 32-bit whole number (the columns "
    "that hold nested lists have this type); `int64` a 64-bit whole number; `float` a "
    "floating-point number; `boolean` is `TRUE`, `true`, `FALSE`, `false`, `1` or `0` in a cell "
    "of `units/units.csv`, `1`, `0` or nothing in a nested list.\n"
    "\n"
    "The types are those the game's unit table declares. Twelve of its columns are declared "
    "`integer` but hold no number: seven hold nested lists, whose fields are checked by their "
    "own types, and five hold text (`Textual_Description` holds a unit's description), which "
    "nothing checks; the Note column says which.\n"
    "\n"
    "`Key` is the unit's key, whatever the header's first cell says; the game's table calls it "
    "`index` (as does the `name` of `unitlint --schema --format json`, whose `header_name` is "
    "`Key`), and `unitcheck`'s closing report `units.Index`.\n"
    "\n"
    "A nested list is a cell of groups in braces, values separated by semicolons, such as "
    "`{Laser;Weapons/Guns;1200;1;2;0.5;1;1;;0}`: each group holds the fields of its list in "
    "order.\n";

}  // namespace

std::string schema_text() {
  const auto units = unit_columns();
  std::string text = "units: " + std::to_string(units.size()) + " columns\n";
  text += text_lines(units, true);
  text.append("\n").append(kKeyColumn).append(
      " is the unit's key, whatever the header's first cell says.\n");
  for (const NestedListColumn& list : nested_list_columns()) {
    const auto fields = nested_fields(list);
    text.append("\n").append(list.table).append(": ").append(std::to_string(fields.size()));
    text.append(" fields, the nested list of column ").append(list.column).append("\n");
    text += text_lines(fields, false);
  }
  return text;
}

std::string schema_json() {
  Json units = Json::array();
  const auto columns = unit_columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    Json column = column_json(i, columns[i]);
    column["header_name"] = shown_name(columns[i], true, i);
    column["nested_list"] = text_or_null(nested_table_of(columns[i].name));
    column["type_note"] = text_or_null(type_note(columns[i]));
    units.push_back(std::move(column));
  }
  Json lists = Json::array();
  for (const NestedListColumn& list : nested_list_columns()) {
    Json fields = Json::array();
    const auto schema = nested_fields(list);
    for (std::size_t i = 0; i < schema.size(); ++i) fields.push_back(column_json(i, schema[i]));
    lists.push_back({{"table", list.table}, {"column", list.column}, {"fields", fields}});
  }
  const Json json = {{"units", units}, {"nested_lists", lists}};
  return json.dump(2) + "\n";
}

std::string schema_markdown() {
  std::string text(kMarkdownHead);
  const auto units = unit_columns();
  text += "\n## units/units.csv: " + std::to_string(units.size()) + " columns\n\n";
  text += "| # | Column | Type | Size | Nested list | Note |\n|--:|---|---|--:|---|---|\n";
  for (std::size_t i = 0; i < units.size(); ++i) text += markdown_row(i, units[i], true);
  for (const NestedListColumn& list : nested_list_columns()) {
    const auto fields = nested_fields(list);
    text += "\n## " + std::string(list.table) + "\n\nThe nested list of column `" +
            std::string(list.column) + "`: " + std::to_string(fields.size()) + " fields.\n\n";
    text += "| # | Field | Type | Size |\n|--:|---|---|--:|\n";
    for (std::size_t i = 0; i < fields.size(); ++i) text += markdown_row(i, fields[i], false);
  }
  return text;
}

}  // namespace unitcheck::lint
