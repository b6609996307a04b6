#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace unitcheck::lint {

using FolderEntries = std::vector<std::string>;

// Folder listings remembered for the run and shared by the threads that describe findings, so
// that a unit directory with many missing files is listed once. Past kKept folders, the others
// are listed each time they are asked for: memory stays bounded whatever the data. For
// suggestions only: nothing is checked from them.
class FolderListings {
 public:
  static constexpr std::size_t kKept = 4096;

  std::shared_ptr<const FolderEntries> entries(const std::string& folder);

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const FolderEntries>> listings_;
};

}  // namespace unitcheck::lint
