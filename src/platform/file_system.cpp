#include "platform/file_system.h"

namespace unitcheck {

void convert_separators(std::string& path) {
  // Most paths have no backslash: searched for, not tested byte by byte.
  for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
    path[at] = '/';
}

bool lies_under(std::string_view real, std::string_view root) {
  // A root that ends in a slash is a whole volume: "/", or "C:/" on Windows.
  if (root.ends_with('/')) return real.starts_with(root) || real == root.substr(0, root.size() - 1);
  return real.starts_with(root) && (real.size() == root.size() || real[root.size()] == '/');
}

}  // namespace unitcheck
