#pragma once

#include <string>

namespace unitcheck {

// True for any existing entry, a directory included, following symbolic links.
bool exists(const std::string& path);
// True when the path, following symbolic links, names a directory.
bool is_directory(const std::string& path);

}  // namespace unitcheck
