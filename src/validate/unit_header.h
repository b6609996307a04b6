#pragma once

#include <memory>
#include <string>
#include <vector>

#include "csv/line_reader.h"

namespace unitcheck {

struct Run;

// One column of the unit table's header: the name it is looked up under, and whether the
// units schema knows it.
struct ColumnEntry {
  std::string column_name;
  bool known;
};
using ColumnMap = std::vector<ColumnEntry>;

class Console;
class MemTable;

// Maps the header line onto the units schema, printing the unknown columns: one column per
// comma-separated piece, quotes meaning nothing; column 0 is always the known "Index".
// Every column is printed when unknown, but the map keeps only as many entries as the schema
// has fields: no cell of a unit line lies beyond them.
ColumnMap map_unit_header(std::string_view header, const MemTable& units, Console& console);

// The unit table opened for reading, positioned after its two header lines, and its header.
struct UnitHeader {
  std::unique_ptr<UnitLineReader> reader;
  ColumnMap column_map;
};

// Opens units/units.csv, reads the header and the ignored second line, and maps the header.
UnitHeader read_unit_header(Run& run);

}  // namespace unitcheck
