#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace unitcheck {

// The unit table's line rule, the one place it is written: a line ends at LF, at CR, or at
// CR LF, which is one line end. Walks the lines of a text in order. When the text is complete
// (it runs to the end of the file), bytes after the last line end are one more line; when it is
// not, they are the start of a line that the text does not hold whole, and so is a last CR
// (a LF may follow it).
class UnitLines {
 public:
  UnitLines(std::string_view text, bool complete)
      : text_(text), complete_(complete), next_cr_(find_cr(0)) {}

  // Sets line to the next whole line, without its line end; false when none is left.
  bool next(std::string_view& line) {
    const std::size_t size = text_.size();
    if (begin_ >= size) return false;
    // Files with CR line ends are rare: the next CR is searched for once, not at every line.
    const std::size_t line_end = std::min(text_.substr(0, next_cr_).find('\n', begin_), next_cr_);
    std::size_t next = line_end + 1;
    if (line_end == size) {
      if (!complete_) return false;
      next = size;
    } else if (line_end == next_cr_) {
      if (next == size && !complete_) return false;
      if (next < size && text_[next] == '\n') ++next;
      next_cr_ = find_cr(next);
    }
    line = text_.substr(begin_, line_end - begin_);
    begin_ = next;
    return true;
  }

  // The bytes of the whole lines returned so far, their line ends included.
  std::size_t consumed() const { return begin_; }

 private:
  std::size_t find_cr(std::size_t from) const {
    return std::min(text_.find('\r', from), text_.size());
  }

  std::string_view text_;
  bool complete_;
  std::size_t begin_ = 0;  // where the next line begins
  std::size_t next_cr_;    // the first CR at or after begin_, or the text's size
};

// Calls on_line(std::string_view line) for each line of a complete text.
template <class OnLine>
void for_each_unit_line(std::string_view text, OnLine&& on_line) {
  UnitLines lines(text, true);
  for (std::string_view line; lines.next(line);) on_line(line);
}

// The file line of the first unit line: the two header lines come before it.
inline constexpr std::int64_t kFirstUnitRow = 3;
// The same line as an index into a text's lines counted from 0, as editors count them.
inline constexpr auto kFirstDataLine = static_cast<std::size_t>(kFirstUnitRow - 1);

}  // namespace unitcheck
