#include "lint/inside_directory.h"

#include <cstdlib>
#include <memory>

namespace unitcheck::lint {

std::string real_path(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  return real != nullptr ? std::string(real.get()) : std::string();
}

bool lies_under(std::string_view real, std::string_view root) {
  if (root == "/") return true;
  return real.starts_with(root) && (real.size() == root.size() || real[root.size()] == '/');
}

std::string outside_target(std::string_view real_root, const std::string& path) {
  if (real_root.empty()) return {};
  const std::string real = real_path(path);
  if (real.empty() || lies_under(real, real_root)) return {};
  return real;
}

}  // namespace unitcheck::lint
