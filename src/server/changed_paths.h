#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck::server {

// What files changed on disk ask of the checks of one unit table.
struct PathsToRecheck {
  // Every line again, with the part list and the folders' listings read anew.
  bool whole = false;
  // Else the last names of the changed paths: only a line whose text holds one of them, or one
  // whose findings were drawn from the folders' listings, may be judged otherwise now.
  std::vector<std::string> names;
};

// Sorts the changed paths (absolute) of the data directory root (which ends with a slash).
PathsToRecheck paths_to_recheck(std::span<const std::string> paths, std::string_view root);

// Whether line holds any of names.
bool names_any(std::string_view line, std::span<const std::string> names);

}  // namespace unitcheck::server
