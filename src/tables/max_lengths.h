#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

class Console;

// One statistics entry: the longest value seen under a column key such as "units.Name".
struct StrMaxSize {
  std::string key;
  int max_length;
};

// The longest text seen per column, kept sorted by key in byte order (shorter prefix first).
class MaxLengths {
 public:
  // Records that a value of length bytes was seen under key.
  void update_max_length(std::string_view key, int length);
  // The index of the entry with this key among positions lo..hi (a non-empty range).
  std::optional<std::size_t> find_key(std::string_view key, std::size_t lo, std::size_t hi) const;
  const std::vector<StrMaxSize>& entries() const { return entries_; }

 private:
  std::vector<StrMaxSize> entries_;
};

// The closing report: its two heading lines and one line per entry.
void print_max_field_lengths(const MaxLengths& max_lengths, Console& console);

}  // namespace unitcheck
