#include "tables/schemas.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace unitcheck {
namespace {

TEST(Schemas, TablesHaveTheirColumnCountsAndKeyColumns) {
  const struct {
    std::string_view table;
    std::size_t columns;
  } counts[] = {{"units", 116},  {"masterpartslist", 6}, {"mounts", 17},
                {"subunit", 11}, {"light", 10},          {"cargo", 10},
                {"dock", 6},     {"cargo_import", 5},    {"upgrades", 3}};
  std::size_t total = 0;
  for (const auto& c : counts) {
    EXPECT_EQ(find_table_schema(c.table)->columns.size(), c.columns) << c.table;
    total += c.columns;
  }
  EXPECT_EQ(total, 184u);
  EXPECT_EQ(table_schemas().size(), std::size(counts));
  EXPECT_EQ(kUnitColumnCount, 116u);

  const struct {
    std::string_view table;
    std::size_t position;
    std::string_view name;
    FieldType type;
    int data_size;
  } columns[] = {
      {"units", 0, "index", FieldType::Text, 51},
      {"units", 2, "Name", FieldType::Text, 46},
      {"units", 8, "Unit_Scale", FieldType::Float, 8},
      {"units", 33, "Shield_Back_Top_Left", FieldType::Float, 8},
      {"units", 42, "Warp_Capacitor", FieldType::Int64, 8},
      {"units", 83, "Hud_Functionality", FieldType::Text, 71},
      {"units", 84, "Max_Hud_Functionality", FieldType::Text, 71},
      {"units", 97, "Upgrades", FieldType::Integer, 4},
      {"units", 114, "Collide_Subunits", FieldType::Boolean, 2},
      {"units", 115, "Spec_Interdiction", FieldType::Float, 8},
      {"mounts", 3, "SIZE", FieldType::Text, 81},
      {"dock", 4, "size", FieldType::Float, 8},
      {"masterpartslist", 2, "price", FieldType::Int64, 8},
      {"masterpartslist", 5, "description", FieldType::Integer, 4},
      {"cargo", 8, "description", FieldType::Text, 66},
      {"cargo_import", 0, "Cat", FieldType::Text, 51},
  };
  for (const auto& c : columns) {
    const ColumnSchema& column = find_table_schema(c.table)->columns[c.position];
    EXPECT_EQ(column.name, c.name);
    EXPECT_EQ(column.type, c.type) << c.name;
    EXPECT_EQ(data_size_of(column.type, column.size), c.data_size) << c.name;
  }
}

// The tables that are defined for lookups by name are the schemas' data.
TEST(Schemas, DefinedTablesAreTheSchemasData) {
  Tables tables;
  create_tables(tables);
  for (const MemTable* table : {&tables.units}) {
    const TableSchema& schema = *find_table_schema(table->name());
    ASSERT_EQ(static_cast<int>(schema.columns.size()), table->field_count()) << schema.name;
    for (int i = 0; i < table->field_count(); ++i) {
      EXPECT_EQ(schema.columns[static_cast<std::size_t>(i)].name, table->field_at(i).name());
      EXPECT_EQ(schema.columns[static_cast<std::size_t>(i)].type, table->field_at(i).type());
      EXPECT_EQ(schema.columns[static_cast<std::size_t>(i)].size, table->field_at(i).size());
    }
  }
  EXPECT_EQ(tables.units.find_field("hud_image")->name(), "Hud_image");
  EXPECT_EQ(find_table_schema("Units"), nullptr);
  // Each nested-list column is an Integer column of the unit table, and its table exists.
  for (const NestedListColumn& list : nested_list_columns()) {
    const Field* column = tables.units.find_field(list.column);
    ASSERT_NE(column, nullptr) << list.column;
    EXPECT_EQ(column->name(), list.column);
    EXPECT_EQ(column->type(), FieldType::Integer);
    EXPECT_NE(find_table_schema(list.table), nullptr) << list.table;
  }
}

// The roles say which checks a column's cells take beyond their type: every column with one,
// and the nested lists in the unit table's order with the tables of their groups.
TEST(Schemas, RolesAreThoseOfTheColumnsThatNameFilesOrHoldLists) {
  std::vector<std::pair<std::string_view, ColumnRole>> roles;
  for (const TableSchema& table : table_schemas())
    for (const ColumnSchema& column : table.columns)
      if (column.role != ColumnRole::Plain) roles.emplace_back(column.name, column.role);
  using enum ColumnRole;
  const std::vector<std::pair<std::string_view, ColumnRole>> expected = {
      {"Cat", Category},
      {"filename", PartName},
      {"Category", CargoCategory},
      {"Directory", Directory},
      {"Hud_image", MeshFile},
      {"Cockpit", Cockpit},
      {"Mesh", Mesh},
      {"Shield_Mesh", MeshFile},
      {"Rapid_Mesh", MeshFile},
      {"BSP_Mesh", MeshFile},
      {"Upgrades", NestedList},
      {"Sub_Units", NestedList},
      {"Light", NestedList},
      {"Mounts", NestedList},
      {"Dock", NestedList},
      {"Cargo_Import", NestedList},
      {"Cargo", NestedList},
  };
  EXPECT_EQ(roles, expected);
  std::vector<std::string_view> lists;
  for (const NestedListColumn& list : nested_list_columns()) lists.push_back(list.table);
  EXPECT_EQ(lists, (std::vector<std::string_view>{"upgrades", "subunit", "light", "mounts", "dock",
                                                  "cargo_import", "cargo"}));
  EXPECT_EQ(kNestedListCount, 7u);
}

}  // namespace
}  // namespace unitcheck
