#include "validate/category_list.h"

#include "tables/mem_table.h"

namespace unitcheck {

std::string fold_latin1(std::string_view text) {
  std::string folded;
  fold_latin1(text, folded);
  return folded;
}

void fold_latin1(std::string_view text, std::string& folded) {
  folded.assign(text);
  for (char& c : folded) c = static_cast<char>(fold_latin1(static_cast<unsigned char>(c)));
}

void build_category_list(MemTable& masterpartslist, CategoryList& category_list) {
  const Field& categoryname = masterpartslist.field_by_name("categoryname");
  std::string category;
  for (masterpartslist.first(); !masterpartslist.eof(); masterpartslist.next()) {
    // Folding works byte by byte, so the prefixes of the folded text are the folded prefixes.
    fold_latin1(categoryname.as_text(), category);
    // Every entry comes with its prefixes, so a category listed already brings nothing new;
    // parts share few categories, and most records stop here.
    if (category_list.contains_folded(category)) continue;
    category_list.append_folded(category);
    // A slash in the first position never makes a prefix, so no prefix is empty.
    for (std::size_t i = 1; i < category.size(); ++i) {
      if (category[i] != '/') continue;
      const std::string_view prefix = std::string_view(category).substr(0, i);
      if (!category_list.contains_folded(prefix)) category_list.append_folded(prefix);
    }
  }
}

}  // namespace unitcheck
