#include "tables/max_lengths.h"

#include <utility>

#include "platform/console.h"

namespace unitcheck {

// std::string_view compares bytes as unsigned char, with a prefix before any longer text:
// exactly the order of the report.

void MaxLengths::update_max_length(std::string_view key, std::int64_t length) {
  const std::optional<std::size_t> found =
      entries_.empty() ? std::nullopt : find_key(key, 0, entries_.size() - 1);
  if (found) {
    if (entries_[*found].max_length < length) entries_[*found].max_length = length;
    return;
  }
  entries_.push_back(StrMaxSize{std::string(key), length});
  for (std::size_t i = entries_.size() - 1; i > 0 && entries_[i - 1].key > entries_[i].key; --i)
    std::swap(entries_[i - 1], entries_[i]);
}

std::optional<std::size_t> MaxLengths::find_key(std::string_view key, std::size_t lo,
                                                std::size_t hi) const {
  while (lo != hi) {
    const std::size_t mid = lo + (hi - lo + 1) / 2;
    if (key < entries_[mid].key) {
      hi = mid - 1;
    } else {
      lo = mid;
    }
  }
  if (entries_[lo].key == key) return lo;
  return std::nullopt;
}

void print_max_field_lengths(const MaxLengths& max_lengths, Console& console) {
  console.line("Max Fieldlengths (Str only)");
  console.line("---------------------------");
  for (const StrMaxSize& entry : max_lengths.entries()) {
    console.write(entry.key).write(": ").write_int(entry.max_length);
    console.end_line();
  }
}

}  // namespace unitcheck
