#pragma once

#include <string_view>

#include "tables/text_map.h"

namespace unitcheck {

class MemTable;

// The part names and categories of the master part list as stored, for exact lookups.
class PartIndex {
 public:
  explicit PartIndex(MemTable& masterpartslist);

  // True when some part is named part_name or some part has this category.
  bool knows(std::string_view part_name, std::string_view category) const {
    return files_.contains(part_name) || categories_.contains(category);
  }

 private:
  TextSet files_;
  TextSet categories_;
};

}  // namespace unitcheck
