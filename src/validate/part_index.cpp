#include "validate/part_index.h"

#include "tables/mem_table.h"

namespace unitcheck {

PartIndex::PartIndex(MemTable& masterpartslist) {
  const Field& file = masterpartslist.field_by_name("file");
  const Field& categoryname = masterpartslist.field_by_name("categoryname");
  for (masterpartslist.first(); !masterpartslist.eof(); masterpartslist.next()) {
    files_.insert(file.as_text());
    categories_.insert(categoryname.as_text());
  }
}

}  // namespace unitcheck
