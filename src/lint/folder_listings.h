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
// that a unit directory with many missing files is listed once. Past kept_folders folders or
// kept_names names in all, the others are listed each time they are asked for: memory stays
// bounded whatever the folders hold. For suggestions only: nothing is checked from them.
class FolderListings {
 public:
  explicit FolderListings(std::size_t kept_folders = 4096, std::size_t kept_names = 1 << 16)
      : kept_folders_(kept_folders), kept_names_(kept_names) {}

  std::shared_ptr<const FolderEntries> entries(const std::string& folder);

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const FolderEntries>> listings_;
  std::size_t kept_folders_;
  std::size_t kept_names_;
  std::size_t names_kept_ = 0;
};

}  // namespace unitcheck::lint
