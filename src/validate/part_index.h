#pragma once

#include <string_view>

#include "tables/text_map.h"

namespace unitcheck {

class MemTable;

// The part names and categories of the master part list as stored, for exact lookups.
class PartIndex {
 public:
  explicit PartIndex(const MemTable& masterpartslist);

  // Whether some part has this name, or this category.
  bool knows_part(std::string_view part_name) const { return files_.contains(part_name); }
  bool knows_category(std::string_view category) const { return categories_.contains(category); }

 private:
  TextSet files_;
  TextSet categories_;
};

}  // namespace unitcheck
