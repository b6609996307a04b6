#include "server/changed_lines.h"

#include <algorithm>

namespace unitcheck::server {

// The region changed before the edit and the lines the edit removed are joined, in the numbers
// of the text before the edit; the lines after the joined region are moved by the edit alone,
// and map to the first text as they did before it.
ChangedLines add_edit(ChangedLines changed, std::size_t first, std::size_t removed,
                      std::size_t added) {
  if (changed.old_count == 0 && changed.new_count == 0) return {first, removed, added};
  const std::size_t begin = std::min(changed.first, first);
  const std::size_t end = std::max(changed.first + changed.new_count, first + removed);
  const std::size_t old_end = end - changed.new_count + changed.old_count;
  return {begin, old_end - begin, end + added - removed - begin};
}

}  // namespace unitcheck::server
