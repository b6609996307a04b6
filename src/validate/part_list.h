#pragma once

#include <string_view>

#include "validate/category_list.h"
#include "validate/part_index.h"

namespace unitcheck {

// The master part list as the nested-list checks read it: the category list with its folded
// lookup set, and the index of part names and categories. Only these two columns are kept.
struct PartList {
  // Reads the list from its text, whatever holds it: a file read whole (read_whole_file), or an
  // editor's document. Nothing is kept of the text.
  explicit PartList(std::string_view text);
  PartList(const PartList&) = delete;
  PartList& operator=(const PartList&) = delete;

  CategoryList category_list;
  PartIndex parts;
};

}  // namespace unitcheck
