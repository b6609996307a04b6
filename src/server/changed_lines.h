#pragma once

#include <cstddef>

namespace unitcheck::server {

// What edits changed in a document since a moment (its last check): lines [first, first +
// old_count) of the text then are lines [first, first + new_count) of the text now; the lines
// before are the same, and those after are the same, moved by new_count - old_count. Nothing
// changed when both counts are 0.
struct ChangedLines {
  std::size_t first = 0;
  std::size_t old_count = 0;
  std::size_t new_count = 0;
  friend bool operator==(const ChangedLines&, const ChangedLines&) = default;
};

// The change after one more edit, which made lines [first, first + removed) of the text before
// it into lines [first, first + added) (removed and added at least 1).
ChangedLines add_edit(ChangedLines changed, std::size_t first, std::size_t removed,
                      std::size_t added);

}  // namespace unitcheck::server
