#include "platform/beneath.h"

namespace unitcheck {

bool relative_beneath(std::string_view directory, std::string_view path, std::string_view& rest) {
  if (!path.starts_with(directory)) return false;
  std::string_view tail = path.substr(directory.size());
  // Names are walked one by one: a ".." anywhere may climb above the directory.
  for (std::string_view left = tail; !left.empty();) {
    const std::size_t slash = left.find('/');
    if (left.substr(0, slash) == "..") return false;
    left.remove_prefix(slash == std::string_view::npos ? left.size() : slash + 1);
  }
  rest = tail;
  return true;
}

}  // namespace unitcheck
