#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "lint/header_problem.h"
#include "tables/mem_table.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {

// One problem of the header line. Texts are views into the header line or the schema.
struct HeaderFinding {
  HeaderProblem problem{};
  std::int64_t column = 0;        // 1-based position in the header; 0 for the whole line
  std::int64_t offset = 0;        // byte offset of the name in the line
  std::string_view name;          // the header's name; for a missing column, the schema's
  std::string_view meant;         // near miss: the schema column it seems to mean
  std::int64_t first_column = 0;  // duplicate: where the name first appears
  char separator = 0;             // wrong separator: ';' or '\t'
  std::int64_t separators = 0;    // wrong separator: how many the line holds
  std::int64_t named = 0;         // unmapped: the schema's columns the header names
  std::int64_t columns = 0;       // unmapped: the schema's columns
  bool holds_values = false;      // unmapped: the line reads as a unit line, not names
  std::string_view encoding;      // not UTF-8: "UTF-16LE", "UTF-32BE", ...
};

// Reports what is wrong with the unit table's header, from the facts the checks work out for it
// (header_facts) and its line. A line in UTF-16 or UTF-32, one with another separator, and one
// that names fewer than half of the schema's columns are each the one finding: the columns'
// findings would only repeat them. The first header column is the key, whatever its name, as the
// checks map it: it is never reported unknown, and the schema's first field is never missing.
// Findings come in header order, then missing columns in schema order; a column near-missed is
// not also reported missing. Each finding is handed to report as it is found, so that nothing is
// held per column; a near miss is looked for only among names no longer than a field's name
// plus the edits allowed, so the time is about the line's length plus the schema's size times
// the columns of such names.
void check_header(const UnitHeader& header, const MemTable& units,
                  const std::function<void(const HeaderFinding&)>& report);
// The same findings collected, for a header of a sane size.
std::vector<HeaderFinding> check_header(const UnitHeader& header, const MemTable& units);

}  // namespace unitcheck::lint
