#include "csv/load_unchecked.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "csv/line_reader.h"
#include "csv/split_delimited_text.h"
#include "tables/mem_table.h"

namespace unitcheck {

namespace {

// Whether the line numbered number (from 1) makes a record.
bool holds_record(std::string_view line, std::int64_t number, int first_line) {
  return number >= first_line && !line.empty() && line.front() != ',';
}

// The records a file will give and the bytes of their lines, which bound the texts of any
// one field.
struct RecordCount {
  std::size_t records = 0;
  std::size_t line_bytes = 0;
};

RecordCount count_records(const std::string& path, int first_line) {
  PartListLineReader reader(path);
  std::string_view line;
  std::int64_t number = 0;
  RecordCount count;
  while (reader.next_line(line)) {
    if (!holds_record(line, ++number, first_line)) continue;
    ++count.records;
    count.line_bytes += line.size();
  }
  return count;
}

void load_lines(PartListLineReader& reader, MemTable& table, int first_line) {
  std::vector<const Field*> fields;
  for (int k = 0; k < table.field_count(); ++k) fields.push_back(&table.field_at(k));
  std::vector<std::string_view> cells;
  std::string unquoted;
  std::string_view line;
  std::int64_t number = 0;
  while (reader.next_line(line)) {
    if (!holds_record(line, ++number, first_line)) continue;
    table.append();
    split_delimited_text(line, cells, unquoted);
    const std::size_t stored = std::min(cells.size(), fields.size());
    for (std::size_t k = 0; k < stored; ++k)
      if (fields[k]->type() == FieldType::Text) table.set_text(*fields[k], cells[k]);
    table.post();
  }
}

}  // namespace

void load_csv_unchecked(const std::string& path, MemTable& table, int first_line) {
  PartListLineReader reader(path);
  table.clear_records();
  table.open();
  // A first pass over the file is cheaper than the page faults of regrowing the records.
  const RecordCount count = count_records(path, first_line);
  table.reserve(count.records, count.line_bytes);
  load_lines(reader, table, first_line);
}

}  // namespace unitcheck
