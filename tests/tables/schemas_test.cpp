#include "tables/schemas.h"

#include <gtest/gtest.h>

namespace unitcheck {
namespace {

TEST(Schemas, TablesHaveTheirColumnCountsAndKeyColumns) {
  Tables tables;
  create_tables(tables);
  const struct {
    const MemTable& table;
    int columns;
  } counts[] = {{tables.units, 116},  {tables.masterpartslist, 6}, {tables.mounts, 17},
                {tables.subunit, 11}, {tables.light, 10},          {tables.cargo, 10},
                {tables.dock, 6},     {tables.cargo_import, 5},    {tables.upgrades, 3}};
  int total = 0;
  for (const auto& c : counts) {
    EXPECT_EQ(c.table.field_count(), c.columns) << c.table.name();
    total += c.table.field_count();
  }
  EXPECT_EQ(total, 184);

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
      {tables.masterpartslist, 2, "price", FieldType::Int64, 8},
      {tables.masterpartslist, 5, "description", FieldType::Integer, 4},
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

}  // namespace
}  // namespace unitcheck
