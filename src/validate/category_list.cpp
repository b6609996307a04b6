#include "validate/category_list.h"

#include "tables/mem_table.h"

namespace unitcheck {

std::string fold_latin1(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = static_cast<char>(fold_latin1(static_cast<unsigned char>(c)));
  return folded;
}

void CategoryList::append(std::string_view category) {
  entries_.emplace_back(category);
  folded_.insert(fold_latin1(category));
}

bool CategoryList::contains(std::string_view category) const {
  return folded_.contains(fold_latin1(category));
}

void build_category_list(MemTable& masterpartslist, CategoryList& category_list) {
  const Field& categoryname = masterpartslist.field_by_name("categoryname");
  for (masterpartslist.first(); !masterpartslist.eof(); masterpartslist.next()) {
    const std::string_view category = categoryname.as_text();
    category_list.append(category);
    // A slash in the first position never makes a prefix, so no prefix is empty.
    for (std::size_t i = 1; i < category.size(); ++i) {
      if (category[i] != '/') continue;
      const std::string_view prefix = category.substr(0, i);
      if (!category_list.contains(prefix)) category_list.append(prefix);
    }
  }
}

}  // namespace unitcheck
