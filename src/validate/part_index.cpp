#include "validate/part_index.h"

#include "tables/mem_table.h"

namespace unitcheck {

PartIndex::PartIndex(const MemTable& masterpartslist) {
  const Field& file = masterpartslist.field_by_name("file");
  const Field& categoryname = masterpartslist.field_by_name("categoryname");
  // Part names are mostly distinct, so the set is sized for all of them at once rather than
  // regrown step by step; categories are few and grow as they come. Names are at most the
  // field's size, and the arena pages that shorter names leave untouched cost nothing.
  const auto parts = static_cast<std::size_t>(masterpartslist.record_count());
  files_.reserve(parts, parts * static_cast<std::size_t>(file.size()));
  masterpartslist.for_each_text(file.position(),
                                [&](std::string_view name) { files_.insert(name); });
  masterpartslist.for_each_text(categoryname.position(),
                                [&](std::string_view category) { categories_.insert(category); });
}

}  // namespace unitcheck
