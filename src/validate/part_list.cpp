#include "validate/part_list.h"

#include <algorithm>
#include <stdexcept>

#include "csv/part_list_lines.h"
#include "tables/schemas.h"

namespace unitcheck {

namespace {

// The declared size of a Text column of the part list's schema.
std::size_t declared_size(std::string_view column) {
  for (const ColumnSchema& schema : find_table_schema("masterpartslist")->columns)
    if (schema.name == column) return static_cast<std::size_t>(schema.size);
  throw std::logic_error("no such column of masterpartslist");
}

// A cell as the part list stores it: up to its first zero byte, at most size bytes; a cell the
// line does not have is empty.
std::string_view stored(const std::vector<std::string_view>& cells, std::size_t k,
                        std::size_t size) {
  if (k >= cells.size()) return {};
  const std::string_view cell = cells[k];
  return cell.substr(0, std::min(cell.find('\0'), size));
}

}  // namespace

PartList::PartList(std::string_view text) {
  const std::size_t file_size = declared_size("file");
  const std::size_t category_size = declared_size("categoryname");
  // Room for the most that the names can take, so that their arena is never copied: each has
  // two bytes of length and at most the column's size, and no more than its line and line end.
  // Part names are nearly all distinct, so there are slots for one per line, made once rather
  // than regrown; but no more than a line of 32 bytes each would need, so that a list of short
  // lines alike does not make its slots many times its size.
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  parts.reserve(std::min(lines, text.size() / 32),
                std::min(text.size() + text.size() / 2, lines * (2 + file_size)));
  for_each_part_list_record(text, [&](const std::vector<std::string_view>& cells) {
    parts.add(stored(cells, 0, file_size), stored(cells, 1, category_size));
  });
  build_category_list(parts.categories(), category_list);
}

}  // namespace unitcheck
