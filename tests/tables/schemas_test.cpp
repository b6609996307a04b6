#include "tables/schemas.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace unitcheck {
namespace {

TEST(Schemas, TablesHaveTheirColumnCountsAndKeyColumns) {
  Tables tables;
  create_tables(tables);
  MemTable parts("masterpartslist");
  define_masterpartslist(parts);
  const struct {
    const MemTable& table;
    int columns;
  } counts[] = {
      {tables.units, 116}, {parts, 6},         {tables.mounts, 17}, {tables.subunit, 11},
      {tables.light, 10},  {tables.cargo, 10}, {tables.dock, 6},    {tables.cargo_import, 5},
      {tables.upgrades, 3}};
  int total = 0;
  for (const auto& c : counts) {
    EXPECT_EQ(c.table.field_count(), c.columns) << c.table.name();
    total += c.table.field_count();
  }
  EXPECT_EQ(total, 184);
  EXPECT_EQ(kUnitColumnCount, 116u);

  const struct {
    const MemTable& table;
    int position;
    const char* name;
    FieldType type;
    int data_size;
  } columns[] = {
      {tables.units, 0, "index", FieldType::Text, 51},
      {tables.units, 2, "Name", FieldType::Text, 46},
      {tables.units, 8, "Unit_Scale", FieldType::Float, 8},
      {tables.units, 33, "Shield_Back_Top_Left", FieldType::Float, 8},
      {tables.units, 42, "Warp_Capacitor", FieldType::Int64, 8},
      {tables.units, 83, "Hud_Functionality", FieldType::Text, 71},
      {tables.units, 84, "Max_Hud_Functionality", FieldType::Text, 71},
      {tables.units, 97, "Upgrades", FieldType::Integer, 4},
      {tables.units, 114, "Collide_Subunits", FieldType::Boolean, 2},
      {tables.units, 115, "Spec_Interdiction", FieldType::Float, 8},
      {tables.mounts, 3, "SIZE", FieldType::Text, 81},
      {tables.dock, 4, "size", FieldType::Float, 8},
      {parts, 2, "price", FieldType::Int64, 8},
      {parts, 5, "description", FieldType::Integer, 4},
      {tables.cargo, 8, "description", FieldType::Text, 66},
      {tables.cargo_import, 0, "Cat", FieldType::Text, 51},
  };
  for (const auto& c : columns) {
    const Field& field = c.table.field_at(c.position);
    EXPECT_EQ(field.name(), c.name);
    EXPECT_EQ(field.type(), c.type) << c.name;
    EXPECT_EQ(field.data_size(), c.data_size) << c.name;
  }
  EXPECT_EQ(tables.mounts.find_field("size")->name(), "SIZE");  // no separate "size" column
}

TEST(Schemas, TheReadOnlySchemasAreTheTablesCreateTablesDefines) {
  Tables tables;
  create_tables(tables);
  MemTable parts("masterpartslist");
  define_masterpartslist(parts);
  const MemTable* by_order[] = {&tables.cargo_import, &tables.upgrades, &tables.subunit,
                                &tables.light,        &tables.mounts,   &tables.dock,
                                &tables.cargo,        &tables.units,    &parts};
  ASSERT_EQ(table_schemas().size(), std::size(by_order));
  for (std::size_t t = 0; t < std::size(by_order); ++t) {
    const TableSchema& schema = table_schemas()[t];
    const MemTable& table = *by_order[t];
    EXPECT_EQ(schema.name, table.name());
    EXPECT_EQ(find_table_schema(schema.name), &schema);
    ASSERT_EQ(static_cast<int>(schema.columns.size()), table.field_count()) << schema.name;
    for (int i = 0; i < table.field_count(); ++i) {
      EXPECT_EQ(schema.columns[static_cast<std::size_t>(i)].name, table.field_at(i).name());
      EXPECT_EQ(schema.columns[static_cast<std::size_t>(i)].type, table.field_at(i).type());
      EXPECT_EQ(schema.columns[static_cast<std::size_t>(i)].size, table.field_at(i).size());
    }
  }
  EXPECT_EQ(find_table_schema("Units"), nullptr);
  // Each nested-list column is an Integer column of the unit table, and its table exists.
  ASSERT_EQ(nested_list_columns().size(), 7u);
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
