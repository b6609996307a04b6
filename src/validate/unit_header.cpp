#include "validate/unit_header.h"

#include <algorithm>
#include <string_view>

#include "driver/run.h"
#include "tables/convert.h"
#include "tables/text_map.h"
#include "validate/messages.h"

namespace unitcheck {

namespace {

// The exact, case-sensitive names of the schema's fields.
TextSet field_names(const MemTable& units) {
  TextSet names;
  for (int i = 0; i < units.field_count(); ++i) names.insert(units.field_at(i).name());
  return names;
}

}  // namespace

ColumnMap map_unit_header(std::string_view header, const MemTable& units, Console& console) {
  const TextSet known_names = field_names(units);
  const std::size_t count =
      1 + static_cast<std::size_t>(std::count(header.begin(), header.end(), ','));
  // A unit line never yields more cells than the schema has fields, so columns past that are
  // only reported, not kept: a header of a million commas costs no million entries.
  const std::size_t kept = std::min(count, static_cast<std::size_t>(units.field_count()));
  ColumnMap column_map;
  column_map.reserve(kept);
  messages::unknown_fields_heading(console);
  bool any_unknown = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t end = std::min(header.find(',', start), header.size());
    const std::string_view piece = header.substr(start, end - start);
    start = end + 1;
    ColumnEntry entry;
    if (i == 0) {
      entry = {"Index", true};
    } else {
      entry.column_name = piece.empty() ? "unknown" + int_to_text(static_cast<std::int64_t>(i))
                                        : std::string(piece);
      entry.known = known_names.contains(entry.column_name);
    }
    if (!entry.known) {
      any_unknown = true;
      messages::unknown_field(console, entry.column_name);
    }
    if (i < kept) column_map.push_back(std::move(entry));
  }
  if (!any_unknown) messages::no_unknown_fields(console);
  console.end_line();
  console.line("Header Processed.");
  return column_map;
}

UnitHeader read_unit_header(Run& run) {
  const std::string path = run.data_directory + "units" + "/" + "units.csv";
  run.console.write("Reading ").write(path).end_line();
  MemTable& units = run.tables.units;
  units.clear_records();
  units.open();
  UnitHeader result;
  result.reader = std::make_unique<UnitLineReader>(path);
  const std::string header(result.reader->read_line());
  result.reader->read_line();  // the second line says nothing the checks need
  run.console.line("Header Read");
  result.column_map = map_unit_header(header, units, run.console);
  return result;
}

}  // namespace unitcheck
