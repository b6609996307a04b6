#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/input_file.h"

namespace unitcheck {

class UnitLineReader;

// The number of lines in text as UnitLineReader reads them: every LF, CR, or CR LF ends one,
// and bytes after the last line end make one more.
std::int64_t count_unit_lines(std::string_view text);

// Calls on_line(std::string_view line) for each line of text, without its line end, in the
// same cut as count_unit_lines.
template <class OnLine>
void for_each_unit_line(std::string_view text, OnLine&& on_line) {
  // Files with CR line ends are rare: the next CR is searched for once, not at every line.
  std::size_t next_cr = std::min(text.find('\r'), text.size());
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t line_end = std::min(text.substr(0, next_cr).find('\n', p), next_cr);
    on_line(text.substr(p, line_end - p));
    if (line_end == text.size()) return;
    p = line_end + 1;
    if (line_end == next_cr) {
      if (p < text.size() && text[p] == '\n') ++p;
      next_cr = std::min(text.find('\r', p), text.size());
    }
  }
}

// Large enough that the threads seldom wait on one another, small enough that a few per thread
// stay a few megabytes.
inline constexpr std::size_t kChunkTarget = 512 * 1024;

// The rest of the unit table in chunks of whole lines, so that the lines of one chunk can be
// checked apart from the others. A chunk ends after a line end (a CR only where the next byte
// is known not to be a LF), or at the end of the file.
class UnitChunkReader {
 public:
  // Takes over the reader's file and the bytes it has read but not yet returned.
  explicit UnitChunkReader(UnitLineReader& reader, std::size_t target = kChunkTarget);

  // Reads the next lines, with their line ends, into storage and sets lines to them: the whole
  // lines among the next target bytes, or the one line that is longer. Storage keeps its size
  // from call to call and only grows, so that its bytes are not cleared before each read.
  // False when nothing is left.
  bool next(std::string& storage, std::string_view& lines);

 private:
  std::string carry_;  // the start of a line that the last chunk did not end
  std::unique_ptr<InputFile> file_;
  std::size_t target_;
};

}  // namespace unitcheck
