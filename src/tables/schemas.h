#pragma once

#include <span>
#include <string_view>

#include "tables/mem_table.h"

namespace unitcheck {

// One column of a table's schema, as create_tables defines it.
struct ColumnSchema {
  std::string_view name;
  FieldType type;
  int size;  // declared size of a Text column, 0 otherwise
};

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

// The nine schemas, in the order create_tables defines them. Read-only views of static data.
std::span<const TableSchema> table_schemas();
// The schema of the named table (exact name), or null.
const TableSchema* find_table_schema(std::string_view name);
// The seven nested-list columns of the unit table, in the order the unit table holds them.
std::span<const NestedListColumn> nested_list_columns();

// The nine tables of a run. Only masterpartslist ever holds records; the others describe the
// unit table's columns and the fields of the nested lists. Members are declared, and so
// created and named, in this order.
struct Tables {
  MemTable cargo_import{"cargo_import"};
  MemTable cargo{"cargo"};
  MemTable dock{"dock"};
  MemTable light{"light"};
  MemTable mounts{"mounts"};
  MemTable subunit{"subunit"};
  MemTable units{"units"};
  MemTable upgrades{"upgrades"};
  MemTable masterpartslist{"masterpartslist"};
};

// Defines every column of every table and opens each table, table by table.
void create_tables(Tables& tables);

// Defines the columns of a masterpartslist table and opens it: for a table that holds a loaded
// part list apart from the schemas.
void define_masterpartslist(MemTable& table);

}  // namespace unitcheck
