#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tables/text_map.h"

namespace unitcheck {

class NameSet;

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
// regard to letter case. Each category is kept once, folded; prefixes are not stored at all: a
// text is a prefix when some category begins with it and a slash, which a search in the
// categories' byte order answers. A million categories twenty levels deep are then a million
// texts, not twenty million.
class CategoryList {
 public:
  CategoryList() = default;
  // The order holds views into the set of categories.
  CategoryList(const CategoryList&) = delete;
  CategoryList& operator=(const CategoryList&) = delete;

  // Adds a category that is folded already, once however often it is given. Its prefixes are
  // found once index() has run.
  void add_folded(std::string_view folded) { categories_.insert(folded); }
  // Puts the categories in order for the prefix lookups: after the last add_folded.
  void index();

  bool contains(std::string_view category) const;
  // The same, for text that is folded already.
  bool contains_folded(std::string_view folded) const {
    return categories_.contains(folded) || is_prefix(folded);
  }
  // The categories and their prefixes, each counted once; worked out on every call.
  std::size_t size() const;

 private:
  bool is_prefix(std::string_view folded) const;

  TextSet categories_;
  std::vector<std::string_view> ordered_;  // the keys of categories_ in byte order
};

// Fills the list from the part list's categories: each category, and with it each of its
// prefixes that ends before a slash. Categories listed already stay.
void build_category_list(const NameSet& categories, CategoryList& category_list);

}  // namespace unitcheck
