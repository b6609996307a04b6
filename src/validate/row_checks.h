#pragma once

#include "validate/unit_header.h"

namespace unitcheck {

class PartIndex;
struct Run;

// Reads every remaining line of the unit table and checks each cell of a known column by its
// type, then the line's cell count; prints "Database processed." at the end.
void check_unit_rows(Run& run, UnitLineReader& reader, const ColumnMap& column_map,
                     const PartIndex& parts);

}  // namespace unitcheck
