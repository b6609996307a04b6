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
// The same into folded, whose capacity is reused.
void fold_latin1(std::string_view text, std::string& folded);

// The part categories of the master part list and their slash prefixes, looked up without
// regard to letter case. Only the lookup is ever asked of the list, so it keeps each entry
// once, folded.
class CategoryList {
 public:
  void append(std::string_view category) { append_folded(fold_latin1(category)); }
  bool contains(std::string_view category) const { return contains_folded(fold_latin1(category)); }
  // The same, for text that is folded already.
  void append_folded(std::string_view folded) { folded_.insert(folded); }
  bool contains_folded(std::string_view folded) const { return folded_.contains(folded); }
  std::size_t size() const { return folded_.size(); }

 private:
  TextSet folded_;
};

// Fills the list from the categoryname of every record of masterpartslist: each category,
// then each of its prefixes that ends before a slash and is not listed yet. The list starts
// empty or filled by this function, so it holds the prefixes of every entry.
void build_category_list(MemTable& masterpartslist, CategoryList& category_list);

}  // namespace unitcheck
