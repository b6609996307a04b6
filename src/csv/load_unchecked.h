#pragma once

#include <string>

namespace unitcheck {

class MemTable;

// Fills table from a CSV file, cell k of a line into field k when that is a Text field (the
// only values a table keeps), without checking anything.
// Lines before first_line (counted from 1) are skipped, as are empty lines and lines that
// begin with a comma; cells beyond the table's last field are ignored. A file that cannot be
// read ends the run (EFOpenError).
void load_csv_unchecked(const std::string& path, MemTable& table, int first_line);

}  // namespace unitcheck
