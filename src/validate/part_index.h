#pragma once

#include <string_view>

#include "validate/text_set.h"

namespace unitcheck {

class MemTable;

// The part names and categories of the master part list as stored, for exact lookups.
class PartIndex {
 public:
  explicit PartIndex(MemTable& masterpartslist);

  // True when some part is named part_name or some part has this category.
  bool knows(std::string_view part_name, std::string_view category) const {
    return files_.find(part_name) != files_.end() ||
           categories_.find(category) != categories_.end();
  }

 private:
  TextSet files_;
  TextSet categories_;
};

}  // namespace unitcheck
