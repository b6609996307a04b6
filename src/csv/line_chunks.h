#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "csv/unit_lines.h"
#include "platform/text_source.h"

namespace unitcheck {

// Large enough that the threads seldom wait on one another, small enough that a few per thread
// stay a few megabytes.
inline constexpr std::size_t kChunkTarget = 512 * 1024;

// One line of a chunk: its text ends at `end` (its line end, or the end of the text), the next
// line begins at `next`. Offsets in the chunk.
struct LineBounds {
  std::uint32_t end;
  std::uint32_t next;
};

// Whole lines of the unit table, their line ends included, and how many they are.
struct LineChunk {
  std::string_view text;
  std::int64_t line_count = 0;
};

// Where each line of a chunk ends and the next begins, as the reader found them: kept in the
// chunk's storage after its text, so that whoever checks the lines does not search for their
// ends again. A chunk of very many short lines (more than one per kBytesPerKeptLine bytes)
// keeps none, so that the storage stays near the size of the text; its lines are found again
// by the line rule.
inline constexpr std::size_t kBytesPerKeptLine = 32;

// Calls on_line(std::string_view line) for each line of chunk, a chunk that next() set from
// storage: by the line ends kept after it, or by the line rule where none are kept.
template <class OnLine>
void for_each_chunk_line(std::string_view storage, std::string_view chunk, OnLine&& on_line);

// The unit table in chunks of whole lines, so that the lines of one chunk can be checked apart
// from the others. A chunk ends after a line end (a CR only where the next byte is known not
// to be a LF), or at the end of the file.
class UnitChunkReader {
 public:
  // Reads the unit table from source: the chunks and their lines are the same whatever the
  // source, a file or a text in memory.
  explicit UnitChunkReader(std::unique_ptr<TextSource> source, std::size_t target = kChunkTarget);
  // Opens the file; a file that cannot be read ends the run (EFOpenError).
  static UnitChunkReader from_file(std::string path, std::size_t target = kChunkTarget);
  // Reads a text in memory (an editor's document), which outlives the reader.
  static UnitChunkReader from_text(std::string_view text, std::size_t target = kChunkTarget);

  // Reads the next lines into storage and sets chunk to them: the whole lines among the next
  // target bytes, or the one line that is longer. Storage keeps its size from call to call and
  // only grows, so that its bytes are not cleared before each read. False when nothing is left.
  bool next(std::string& storage, LineChunk& chunk);

  // Puts bytes back before those not yet returned: the next chunk begins with them.
  void unread(std::string_view bytes) { carry_.insert(0, bytes); }

 private:
  // Puts the line ends of the chunk of `consumed` bytes after it in storage: those in bounds_
  // when they are all its lines (kept), else the mark that none are kept.
  void keep_line_ends(std::string& storage, std::size_t consumed, bool kept);

  std::string carry_;                   // the start of a line that the last chunk did not end
  std::vector<LineBounds> bounds_;      // of the chunk being read, until kept in storage
  std::unique_ptr<TextSource> source_;  // none once it has ended
  std::size_t target_;
};

// The storage holds, from the first multiple of 4 at or after the chunk's size: the number of
// lines kept (kNoLineEnds for none), then their LineBounds.
inline constexpr std::uint32_t kNoLineEnds = 0xFFFFFFFF;

inline std::size_t line_ends_offset(std::size_t chunk_size) {
  return (chunk_size + 3) & ~std::size_t{3};
}

template <class OnLine>
void for_each_chunk_line(std::string_view storage, std::string_view chunk, OnLine&& on_line) {
  const std::size_t offset = line_ends_offset(chunk.size());
  std::uint32_t count = kNoLineEnds;
  if (storage.size() >= offset + sizeof count)
    std::memcpy(&count, storage.data() + offset, sizeof count);
  if (count == kNoLineEnds) {
    for_each_unit_line(chunk, on_line);
    return;
  }
  const char* bounds = storage.data() + offset + sizeof count;
  std::uint32_t begin = 0;
  for (std::uint32_t i = 0; i < count; ++i, bounds += sizeof(LineBounds)) {
    LineBounds line;
    std::memcpy(&line, bounds, sizeof line);
    on_line(chunk.substr(begin, line.end - begin));
    begin = line.next;
  }
}

}  // namespace unitcheck
