#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "csv/unit_lines.h"
#include "platform/input_file.h"

namespace unitcheck {

// Large enough that the threads seldom wait on one another, small enough that a few per thread
// stay a few megabytes.
inline constexpr std::size_t kChunkTarget = 512 * 1024;

// Whole lines of the unit table, their line ends included, and how many they are.
struct LineChunk {
  std::string_view text;
  std::int64_t line_count = 0;
};

// The unit table in chunks of whole lines, so that the lines of one chunk can be checked apart
// from the others. A chunk ends after a line end (a CR only where the next byte is known not
// to be a LF), or at the end of the file.
class UnitChunkReader {
 public:
  // Opens the file; a file that cannot be read ends the run (EFOpenError).
  explicit UnitChunkReader(std::string path, std::size_t target = kChunkTarget);

  // Reads the next lines into storage and sets chunk to them: the whole lines among the next
  // target bytes, or the one line that is longer. Storage keeps its size from call to call and
  // only grows, so that its bytes are not cleared before each read. False when nothing is left.
  bool next(std::string& storage, LineChunk& chunk);

  // Puts bytes back before those not yet returned: the next chunk begins with them.
  void unread(std::string_view bytes) { carry_.insert(0, bytes); }

 private:
  std::string carry_;  // the start of a line that the last chunk did not end
  std::unique_ptr<InputFile> file_;
  std::size_t target_;
};

}  // namespace unitcheck
