#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

class Console;

// One statistics entry: the longest value seen under a column key such as "units.Name".
struct StrMaxSize {
  std::string key;
  std::int64_t max_length;
};

// The longest text seen per column, kept sorted by key in byte order (shorter prefix first).
class MaxLengths {
 public:
  // Records that a value of length bytes was seen under key.
  void update_max_length(std::string_view key, std::int64_t length);
  // The index of the entry with this key among positions lo..hi (a non-empty range).
  std::optional<std::size_t> find_key(std::string_view key, std::size_t lo, std::size_t hi) const;
  const std::vector<StrMaxSize>& entries() const { return entries_; }

 private:
  std::vector<StrMaxSize> entries_;
};

// The longest length seen under one key, gathered where values are seen and handed to
// MaxLengths in one go: the report is the same, and the hot loop does no key lookups.
struct LengthTally {
  std::string key;
  std::int64_t longest = -1;  // nothing seen yet

  void record(std::int64_t length) {
    if (length > longest) longest = length;
  }
  void flush_into(MaxLengths& max_lengths) {
    if (longest >= 0) max_lengths.update_max_length(key, longest);
    longest = -1;
  }
};

// The closing report: its two heading lines and one line per entry.
void print_max_field_lengths(const MaxLengths& max_lengths, Console& console);

}  // namespace unitcheck
