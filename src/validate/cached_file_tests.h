#pragma once

#include <cstddef>
#include <string>

#include "platform/file_system.h"
#include "tables/text_map.h"

namespace unitcheck {

// The file-system tests of the row checks, remembered: a run reads a file system that it
// never changes, and unit tables name the same directories and meshes over and over. The
// memory is bounded: when it holds max_entries answers it starts afresh.
class CachedFileTests {
 public:
  explicit CachedFileTests(std::size_t max_entries = 1 << 12) : max_entries_(max_entries) {}

  bool exists(const std::string& path) { return remembered(exists_, path, &unitcheck::exists); }
  bool is_directory(const std::string& path) {
    return remembered(directories_, path, &unitcheck::is_directory);
  }

 private:
  bool remembered(TextMap<bool>& answers, const std::string& path,
                  bool (*test)(const std::string&)) {
    if (const bool* answer = answers.find(path)) return *answer;
    if (answers.size() >= max_entries_) answers.clear();
    const bool answer = test(path);
    answers.insert(path, answer);
    return answer;
  }

  std::size_t max_entries_;
  TextMap<bool> exists_;
  TextMap<bool> directories_;
};

}  // namespace unitcheck
