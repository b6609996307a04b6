#pragma once

#include <string>
#include <string_view>

namespace unitcheck::lint {

// Where path really leads (symbolic links followed, as realpath(3) resolves it) when that lies
// outside real_root, the directory's real path (real_path); empty when it stays inside, and
// when either cannot be resolved (a file that does not exist is refused later, by the read
// itself).
std::string outside_target(std::string_view real_root, const std::string& path);

// The path as realpath(3) resolves it; empty when it cannot be resolved.
std::string real_path(const std::string& path);

// Whether real (an absolute path without links, dots or doubled slashes) is root or lies under
// it.
bool lies_under(std::string_view real, std::string_view root);

}  // namespace unitcheck::lint
