#include "lint/inside_directory.h"

namespace unitcheck::lint {

std::string outside_target(std::string_view real_root, const std::string& path) {
  if (real_root.empty()) return {};
  const std::string real = real_path(path);
  if (real.empty() || lies_under(real, real_root)) return {};
  return real;
}

}  // namespace unitcheck::lint
