#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tables/text_map.h"

namespace unitcheck {

class MemTable;

// Folds one byte to lower case: A to Z, and the ISO 8859-1 capitals 0xC0 to 0xDE but 0xD7.
constexpr unsigned char fold_latin1(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  return c;
}

std::string fold_latin1(std::string_view text);

// The part categories of the master part list and their slash prefixes, in the order they
// were added (duplicates kept), looked up without regard to letter case.
class CategoryList {
 public:
  void append(std::string_view category);
  bool contains(std::string_view category) const;
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  TextSet folded_;  // every entry, folded: the lookup index
};

// Fills the list from the categoryname of every record of masterpartslist: each category,
// then each of its prefixes that ends before a slash and is not listed yet.
void build_category_list(MemTable& masterpartslist, CategoryList& category_list);

}  // namespace unitcheck
