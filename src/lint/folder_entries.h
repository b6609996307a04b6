#pragma once

#include <string>
#include <vector>

namespace unitcheck::lint {

// The names of a folder's entries, in the order the system lists them; none when it cannot be
// listed. For suggestions only: nothing is checked from them.
std::vector<std::string> folder_entries(const std::string& folder);

}  // namespace unitcheck::lint
