#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace unitcheck {

// Yes-or-no answers by path, for the shared file tests: 8-byte slots (a fingerprint of the
// path's hash, the answer, the place of the path in one arena) over the paths end to end. Most
// paths asked for have not been tested yet and are about to be: a slot of another path tells so
// without its path being read, and slots a third the size of a map's keep more of them in the
// cache.
class PathAnswers {
 public:
  // The answer for path (whose hash_text is given): 1 or 0, or -1 when there is none.
  int find(std::string_view path, std::uint64_t hash) const;
  // Keeps the answer for a path that find does not know.
  void insert(std::string_view path, std::uint64_t hash, bool answer);

  // Forgets the answers whose paths pass is_forgotten(std::string_view path); the others are
  // kept, their paths packed anew.
  template <class IsForgotten>
  void forget_if(IsForgotten&& is_forgotten);

  std::size_t size() const { return count_; }
  void clear();

 private:
  std::string_view path_at(std::uint64_t slot) const;
  // Keeps only the slots whose flag is set, each path copied to a new arena.
  void keep_only(const std::vector<bool>& kept);

  std::vector<std::uint64_t> slots_;  // taken, fingerprint, answer (bit 32), place; 0 for none
  std::vector<char> arena_;           // each path after its length (four bytes)
  std::size_t count_ = 0;
  std::size_t mask_ = 0;
};

template <class IsForgotten>
void PathAnswers::forget_if(IsForgotten&& is_forgotten) {
  std::vector<bool> kept(slots_.size(), false);
  bool forgotten = false;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i] == 0) continue;
    kept[i] = !is_forgotten(path_at(slots_[i]));
    forgotten = forgotten || !kept[i];
  }
  if (forgotten) keep_only(kept);
}

}  // namespace unitcheck
