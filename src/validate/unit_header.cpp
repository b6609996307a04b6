#include "validate/unit_header.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "tables/convert.h"
#include "tables/schemas.h"

namespace unitcheck {

namespace {

// The exact, case-sensitive names of the schema's fields.
TextSet field_names(const MemTable& units) {
  TextSet names;
  for (int i = 0; i < units.field_count(); ++i) names.insert(units.field_at(i).name());
  return names;
}

// The first two lines of the unit table, read through the chunks that the row checks read
// afterwards, so that one rule cuts every line. The bytes after them are put back.
std::string read_header_lines(UnitChunkReader& rows) {
  std::string header_line;
  std::string storage;
  LineChunk chunk;
  int taken = 0;
  while (taken < 2 && rows.next(storage, chunk)) {
    UnitLines lines(chunk.text, true);
    for (std::string_view line; taken < 2 && lines.next(line); ++taken)
      if (taken == 0) header_line.assign(line);
    if (taken == 2) rows.unread(chunk.text.substr(lines.consumed()));
  }
  return header_line;
}

}  // namespace

std::string header_column_name(const HeaderColumn& column) {
  if (column.index == 0) return "Index";
  if (column.text.empty()) return "unknown" + int_to_text(column.index);
  return std::string(column.text);
}

UnitHeader map_unit_header(std::string line, const Tables& schemas) {
  const MemTable& units = schemas.units;
  UnitHeader header{
      .line = std::move(line), .field_names = field_names(units), .nested_lists = NestedLists()};
  header.field_count = units.field_count();
  header.column_count =
      1 + static_cast<std::int64_t>(std::count(header.line.begin(), header.line.end(), ','));
  const std::int64_t kept = std::min(header.column_count, header.field_count);
  header.column_map.reserve(static_cast<std::size_t>(kept));
  header.for_each_column([&](const HeaderColumn& column) {
    if (column.index < kept)
      header.column_map.push_back(ColumnEntry{header_column_name(column), column.known});
  });
  header.plans = plan_columns(header.column_map, units, header.nested_lists);
  return header;
}

HeaderAndRows read_unit_header(UnitChunkReader table, const Tables& schemas) {
  std::string line = read_header_lines(table);
  return HeaderAndRows{map_unit_header(std::move(line), schemas), std::move(table)};
}

std::string_view repeat_name(const HeaderColumn& column, const MemTable& units) {
  return column.index == 0 ? std::string_view(units.field_at(0).name()) : column.text;
}

std::vector<std::string_view> missing_fields(const UnitHeader& header, const MemTable& units) {
  TextMap<int> field_index;
  for (int i = 0; i < units.field_count(); ++i) field_index.insert(units.field_at(i).name(), i);
  std::vector<bool> named(static_cast<std::size_t>(units.field_count()), false);
  header.for_each_column([&](const HeaderColumn& column) {
    if (const int* field = field_index.find(repeat_name(column, units)))
      named[static_cast<std::size_t>(*field)] = true;
  });
  std::vector<std::string_view> missing;
  for (int i = 1; i < units.field_count(); ++i)
    if (!named[static_cast<std::size_t>(i)]) missing.push_back(units.field_at(i).name());
  return missing;
}

HeaderFacts header_facts(const UnitHeader& header, const MemTable& units) {
  HeaderFacts facts;
  for_each_column_fact(
      header, units, [&](const HeaderColumn& column) { facts.unknown.push_back(column); },
      [&](const RepeatedColumn& repeat) { facts.duplicates.push_back(repeat); });
  facts.missing = missing_fields(header, units);
  return facts;
}

}  // namespace unitcheck
