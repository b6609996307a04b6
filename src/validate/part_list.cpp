#include "validate/part_list.h"

#include "csv/load_unchecked.h"
#include "tables/schemas.h"

namespace unitcheck {

namespace {

// Loads the table and lists its categories. Members are built in the order they are declared,
// so both are ready when the part index that reads the table is built.
MemTable& load(MemTable& table, CategoryList& category_list, const std::string& path) {
  define_masterpartslist(table);
  load_csv_unchecked(path, table, 1);
  build_category_list(table, category_list);
  return table;
}

}  // namespace

PartList::PartList(const std::string& path) : parts(load(masterpartslist, category_list, path)) {}

}  // namespace unitcheck
