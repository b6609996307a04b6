#pragma once

#include <string>

namespace unitcheck {

// Makes every backslash of a path a slash, in place.
void convert_separators(std::string& path);

// True for any existing entry, a directory included, following symbolic links.
bool exists(const std::string& path);
// True when the path, following symbolic links, names a directory.
bool is_directory(const std::string& path);

}  // namespace unitcheck
