#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace unitcheck::lint {

// Where path really leads (symbolic links followed, as realpath(3) resolves it) when that lies
// outside real_root, the directory's real path (real_path); empty when it stays inside, and
// when either cannot be resolved (a file that does not exist is refused later, by the read
// itself).
std::string outside_target(std::string_view real_root, const std::string& path);

// The row checks judge path cells with the same two (platform/file_system).
using unitcheck::lies_under;
using unitcheck::real_path;

}  // namespace unitcheck::lint
