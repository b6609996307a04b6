#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>

#include "tables/mem_table.h"
#include "tables/schema_data.h"

namespace unitcheck {

// The columns of one table, in their order.
struct TableSchema {
  std::string_view name;
  std::span<const ColumnSchema> columns;
};

// A column of the unit table that holds a nested list, and the table describing its groups.
struct NestedListColumn {
  std::string_view column;
  std::string_view table;
};

// The unit table's columns, in their order.
constexpr std::span<const ColumnSchema> unit_columns() {
  return schema::kUnitsColumns;
}
// How many columns the unit table has, and how many of them hold nested lists.
inline constexpr std::size_t kUnitColumnCount = std::size(schema::kUnitsColumns);
inline constexpr std::size_t kNestedListCount = static_cast<std::size_t>(
    std::ranges::count(schema::kUnitsColumns, ColumnRole::NestedList, &ColumnSchema::role));

// The nine schemas, in the order create_tables defines them. Read-only views of static data.
std::span<const TableSchema> table_schemas();
// The schema of the named table (exact name), or null.
const TableSchema* find_table_schema(std::string_view name);
// The nested-list columns of the unit table, in the order the unit table holds them.
std::span<const NestedListColumn> nested_list_columns();

// The table that describes the unit table's columns, for looking a column up by name; it holds
// no records. (The nested lists and everything else read the schemas' data directly.)
struct Tables {
  MemTable units{"units"};
};

// Defines the columns of the unit table and opens it.
void create_tables(Tables& tables);

}  // namespace unitcheck
