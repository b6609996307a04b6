#include "lint/folder_entries.h"

#include <filesystem>
#include <system_error>

namespace unitcheck::lint {

std::vector<std::string> folder_entries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error))
    names.push_back(it->path().filename().string());
  return names;
}

}  // namespace unitcheck::lint
