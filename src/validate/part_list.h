#pragma once

#include <string>

#include "tables/mem_table.h"
#include "validate/category_list.h"
#include "validate/part_index.h"

namespace unitcheck {

// The master part list as the nested-list checks read it: every record, the category list with
// its folded lookup set, and the index of part names and categories.
struct PartList {
  // Loads the file at path; a file that cannot be read ends the run (EFOpenError).
  explicit PartList(const std::string& path);
  PartList(const PartList&) = delete;
  PartList& operator=(const PartList&) = delete;

  MemTable masterpartslist{"masterpartslist"};
  CategoryList category_list;
  PartIndex parts;
};

}  // namespace unitcheck
