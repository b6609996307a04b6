#pragma once

#include <cstddef>
#include <string_view>

#include "validate/name_set.h"

namespace unitcheck {

// The part names and categories of the master part list as stored, for exact lookups, each
// kept once in the order the list first gives it.
class PartIndex {
 public:
  // Makes room for about parts part names of at most name_bytes bytes in all.
  void reserve(std::size_t parts, std::size_t name_bytes) { files_.reserve(parts, name_bytes); }
  // Adds one record's part name and category, as stored.
  void add(std::string_view part_name, std::string_view category) {
    files_.insert(part_name);
    categories_.insert(category);
  }

  // Whether some part has this name, or this category.
  bool knows_part(std::string_view part_name) const { return files_.contains(part_name); }
  bool knows_category(std::string_view category) const { return categories_.contains(category); }

  const NameSet& part_names() const { return files_; }
  const NameSet& categories() const { return categories_; }

 private:
  NameSet files_;
  NameSet categories_;
};

}  // namespace unitcheck
