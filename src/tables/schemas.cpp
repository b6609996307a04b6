#include "tables/schemas.h"

#include <array>

namespace unitcheck {

namespace {

using namespace schema;

void define(MemTable& table, std::span<const ColumnSchema> columns) {
  for (const ColumnSchema& column : columns)
    table.add_field_def(std::string(column.name), column.type, column.size, false);
  table.open();
}

constexpr TableSchema kTableSchemas[] = {
    {"cargo_import", kCargoImportColumns},
    {"upgrades", kUpgradesColumns},
    {"subunit", kSubunitColumns},
    {"light", kLightColumns},
    {"mounts", kMountsColumns},
    {"dock", kDockColumns},
    {"cargo", kCargoColumns},
    {"units", kUnitsColumns},
    {"masterpartslist", kMasterPartsListColumns},
};

constexpr auto kNestedListColumns = [] {
  std::array<NestedListColumn, kNestedListCount> lists{};
  std::size_t count = 0;
  for (const ColumnSchema& column : kUnitsColumns)
    if (column.role == ColumnRole::NestedList) lists[count++] = {column.name, column.nested_table};
  return lists;
}();

// Every nested-list column names a table of the schemas.
static_assert(std::ranges::all_of(kNestedListColumns, [](const NestedListColumn& list) {
  return std::ranges::any_of(kTableSchemas,
                             [&](const TableSchema& table) { return table.name == list.table; });
}));

}  // namespace

std::span<const TableSchema> table_schemas() {
  return kTableSchemas;
}

const TableSchema* find_table_schema(std::string_view name) {
  for (const TableSchema& table : kTableSchemas)
    if (table.name == name) return &table;
  return nullptr;
}

std::span<const NestedListColumn> nested_list_columns() {
  return kNestedListColumns;
}

void create_tables(Tables& tables) {
  define(tables.units, kUnitsColumns);
}

}  // namespace unitcheck
