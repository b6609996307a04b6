#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/beneath.h"
#include "platform/file_system.h"
#include "tables/text_map.h"
#include "validate/file_tests.h"
#include "validate/path_answers.h"

namespace unitcheck {

// The file tests of the row checks made on the disk, remembered: a run reads a file system that
// it never changes, and unit tables name the same directories and meshes over and over. One
// cache serves every checking thread, so that no path is tested once per thread; it is cut
// into shards with a lock each, so that threads seldom wait for one another. The memory is
// bounded: a shard that holds its share of max_entries answers starts afresh.
class CachedFileTests final : public FileTests {
 public:
  explicit CachedFileTests(std::size_t max_entries = 1 << 16)
      : max_entries_per_shard_(max_entries / kShards + 1) {}
  // Tests the paths under data_directory (which ends in a slash and begins them) from its
  // handle, opened once: a swap of the directory's own path changes no answer. Links below it
  // are followed as the tests always follow them; nothing is read.
  explicit CachedFileTests(std::string data_directory, std::size_t max_entries = 1 << 16)
      : max_entries_per_shard_(max_entries / kShards + 1),
        directory_(data_directory),
        root_(std::move(data_directory)) {}

  bool exists(const std::string& path) override { return remembered(&Shard::exists, path, false); }
  bool is_directory(const std::string& path) override {
    return remembered(&Shard::directories, path, true);
  }

  // Paths are compared as compared_path spells them, so that a cell that reached the file by
  // "..", "." or a doubled or last slash is forgotten with it.
  void forget(std::string_view path) override {
    const std::string forgotten = compared_path(path);
    forget_where([&](std::string_view known) { return compared_path(known) == forgotten; });
  }
  void forget_folder(std::string_view folder) override {
    const std::string forgotten = compared_path(folder);
    forget_where([&](std::string_view known) {
      if (folder.empty()) return true;
      const std::string normal = compared_path(known);
      return normal.starts_with(forgotten) && (normal.size() == forgotten.size() ||
                                               normal[forgotten.size()] == '/' || forgotten == "/");
    });
  }

 private:
  static constexpr std::size_t kShards = 16;
  static constexpr int kShardShift = 60;  // 64 bits less the 4 of a shard's number

  struct Shard {
    std::mutex mutex;
    PathAnswers exists;
    PathAnswers directories;
  };

  // The test itself: from the directory's handle for a path beneath it by its text.
  bool tested(const std::string& path, bool directory) const {
    std::string_view rest;
    if (directory_.is_open() && relative_beneath(root_, path, rest)) {
      const EntryKind kind = directory_.entry_kind(rest, Links::Anywhere);
      return directory ? kind == EntryKind::Directory : kind != EntryKind::Missing;
    }
    return directory ? unitcheck::is_directory(path) : unitcheck::exists(path);
  }

  bool remembered(PathAnswers Shard::*answers_of, const std::string& path, bool directory) {
    // Such a path names nothing, and keeping it would hold as much memory as the cell it came
    // from.
    if (is_too_long_to_name(path)) return false;
    // One hash picks the shard (by its top bits) and the slot in it (by its low bits).
    const std::uint64_t hash = hash_text(path);
    Shard& shard = shards_[hash >> kShardShift];
    PathAnswers& answers = shard.*answers_of;
    {
      std::lock_guard lock(shard.mutex);
      if (const int answer = answers.find(path, hash); answer >= 0) return answer != 0;
    }
    // Tested without the lock: two threads may test the same path at once and agree.
    const bool answer = tested(path, directory);
    std::lock_guard lock(shard.mutex);
    if (answers.size() >= max_entries_per_shard_) answers.clear();
    answers.insert(path, hash, answer);
    return answer;
  }

  // The path lexically normal, without a last slash (but for the root's).
  static std::string compared_path(std::string_view path) {
    std::string normal = lexically_normal_path(path);
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
  }

  template <class IsForgotten>
  void forget_where(IsForgotten&& is_forgotten) {
    for (Shard& shard : shards_) {
      std::lock_guard lock(shard.mutex);
      shard.exists.forget_if(is_forgotten);
      shard.directories.forget_if(is_forgotten);
    }
  }

  std::size_t max_entries_per_shard_;
  std::array<Shard, kShards> shards_;
  BeneathDirectory directory_;  // none: paths are tested by name
  std::string root_;
};

}  // namespace unitcheck
