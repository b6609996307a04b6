#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

namespace unitcheck {

// True for any existing entry, a directory included, following symbolic links.
bool exists(const std::string& path);
// True when the path, following symbolic links, names a directory.
bool is_directory(const std::string& path);

}  // namespace unitcheck

namespace unitcheck {

// The same tests, remembered: a run reads a file system that it never changes, and unit
// tables name the same directories and meshes over and over. The memory is bounded: when
// it holds max_entries answers it starts afresh.
class CachedFileTests {
 public:
  explicit CachedFileTests(std::size_t max_entries = 1 << 16) : max_entries_(max_entries) {}

  bool exists(const std::string& path) { return remembered(exists_, path, &unitcheck::exists); }
  bool is_directory(const std::string& path) {
    return remembered(directories_, path, &unitcheck::is_directory);
  }

 private:
  using Answers = std::unordered_map<std::string, bool>;
  bool remembered(Answers& answers, const std::string& path, bool (*test)(const std::string&));

  std::size_t max_entries_;
  Answers exists_;
  Answers directories_;
};

}  // namespace unitcheck
