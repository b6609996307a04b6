#pragma once

#include "tables/mem_table.h"

namespace unitcheck {

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
