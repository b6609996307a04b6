#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "csv/line_chunks.h"
#include "tables/text_map.h"
#include "validate/column_plan.h"
#include "validate/nested_list.h"

namespace unitcheck {

class MemTable;
struct Tables;

// One column of the unit table's header: the name it is looked up under, and whether the
// units schema knows it.
struct ColumnEntry {
  std::string column_name;
  bool known;
};
using ColumnMap = std::vector<ColumnEntry>;

// One comma-separated piece of the header line, quotes meaning nothing.
struct HeaderColumn {
  std::int64_t index;   // counted from 0
  std::int64_t offset;  // of its first byte in the header line
  std::string_view text;
  bool known;  // column 0 always is, as "Index"; the others when a field has exactly this name
};

// The name a header column is looked up under: "Index" for column 0, "unknown" and the index
// for an empty piece, else the piece itself.
std::string header_column_name(const HeaderColumn& column);

// The header line read and mapped onto the units schema: everything the row checks need.
struct UnitHeader {
  std::string line{};             // the header line as read
  TextSet field_names{};          // the exact names of the units schema's fields
  std::int64_t column_count = 1;  // the columns the line names: one more than its commas
  // The first columns of the line, as many as a unit line can have cells: no cell lies beyond
  // them, so a header of a million commas costs no million entries.
  ColumnMap column_map{};
  NestedLists nested_lists;
  std::vector<ColumnPlan> plans{};  // one per entry of column_map
  std::int64_t field_count = 0;     // of the units schema
  std::int64_t first_row = kFirstUnitRow;

  // Calls on_column(const HeaderColumn&) for every column of the header line, in order.
  template <class OnColumn>
  void for_each_column(OnColumn&& on_column) const;
};

// The unit table read as far as its header: the header mapped onto the units schema, and the
// rest of the table, from its first data line, for the row checks.
struct HeaderAndRows {
  UnitHeader header;
  UnitChunkReader rows;
};

// Reads the header line and the ignored second line of the unit table, whatever its source
// (UnitChunkReader::from_file or from_text), and maps the header onto the units schema. A
// file that cannot be read ends the run (EFOpenError).
HeaderAndRows read_unit_header(UnitChunkReader table, const Tables& schemas);

// Maps a header line onto the units schema; the unit table is not read.
UnitHeader map_unit_header(std::string line, const Tables& schemas);

// A header column whose name an earlier column has.
struct RepeatedColumn {
  HeaderColumn column;
  std::int64_t first_index;  // the earlier column's
};

// Schema fields that no column names, in schema order (the key field is named by column 0).
std::vector<std::string_view> missing_fields(const UnitHeader& header, const MemTable& units);

// Walks the header's columns in order and calls on_unknown(const HeaderColumn&) for each column
// the schema does not know and on_repeat(const RepeatedColumn&) for each named as an earlier
// column (an empty name never is); a column is one or the other at most. Nothing is kept per
// column but the distinct names seen, so a line of a million commas costs no million entries.
template <class OnUnknown, class OnRepeat>
void for_each_column_fact(const UnitHeader& header, const MemTable& units, OnUnknown&& on_unknown,
                          OnRepeat&& on_repeat);

// What the transcript does not print about a header but a reader may want to know, collected
// from for_each_column_fact: one entry per column, so only for headers of a sane size.
struct HeaderFacts {
  std::vector<HeaderColumn> unknown;       // columns the schema does not know, named first here
  std::vector<std::string_view> missing;   // schema fields that no column names
  std::vector<RepeatedColumn> duplicates;  // named as an earlier column (an empty name never is)
};
HeaderFacts header_facts(const UnitHeader& header, const MemTable& units);

// The name a column is compared under for repeats: column 0 is the key, under the schema's
// first field whatever the header calls it.
std::string_view repeat_name(const HeaderColumn& column, const MemTable& units);

template <class OnColumn>
void UnitHeader::for_each_column(OnColumn&& on_column) const {
  const std::string_view text = line;
  std::size_t start = 0;
  for (std::int64_t i = 0; i < column_count; ++i) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const std::string_view piece = text.substr(start, end - start);
    on_column(HeaderColumn{i, static_cast<std::int64_t>(start), piece,
                           i == 0 || field_names.contains(piece)});
    start = end + 1;
  }
}

template <class OnUnknown, class OnRepeat>
void for_each_column_fact(const UnitHeader& header, const MemTable& units, OnUnknown&& on_unknown,
                          OnRepeat&& on_repeat) {
  TextMap<std::int64_t> first_index;  // of each name seen
  header.for_each_column([&](const HeaderColumn& column) {
    const std::string_view name = repeat_name(column, units);
    if (!name.empty()) {
      if (const std::int64_t* first = first_index.find(name)) {
        on_repeat(RepeatedColumn{column, *first});
        return;
      }
      first_index.insert(name, column.index);
    }
    if (!column.known) on_unknown(column);
  });
}

}  // namespace unitcheck
