#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tables/schema_data.h"

namespace unitcheck {

class MemTable;
struct NestedLists;

enum class CellKind { Unchecked, Text, Nested, Boolean, Float, Int64 };

// How the cells of one header column are checked, worked out once from the header, so that
// checking a cell is a switch: no name lookups, no allocation.
struct ColumnPlan {
  CellKind kind = CellKind::Unchecked;
  std::string name;                     // the column name as mapped
  std::int64_t declared_size = 0;       // of a Text column
  ColumnRole role = ColumnRole::Plain;  // the schema's, of a Text column
  int nested = -1;                      // of a Nested column: its index among the nested lists
};

struct ColumnEntry;

// The plan of each column of the map: unknown columns are not checked; a known one by its
// field's type and its role in the schema, Integer columns only when they hold a nested list.
std::vector<ColumnPlan> plan_columns(const std::vector<ColumnEntry>& column_map,
                                     const MemTable& units, const NestedLists& nested_lists);

}  // namespace unitcheck
