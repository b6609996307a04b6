#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/input_file.h"

namespace unitcheck {

// The unread bytes of a file, read through one buffer that starts at buffer_size bytes and
// grows only to hold a line longer than itself. Positions are absolute offsets in the file.
class ReadBuffer {
 public:
  ReadBuffer(std::string path, std::size_t buffer_size);

  // Offsets of the first unread byte and of the end of the bytes read so far.
  std::uint64_t begin() const { return base_ + begin_; }
  std::uint64_t end() const { return base_ + end_; }
  bool eof() const { return eof_; }
  // The byte at offset, which lies in [begin(), end()).
  char at(std::uint64_t offset) const { return data_[offset - base_]; }
  // The bytes in [from, to), both within [begin(), end()); valid until the next refill.
  std::string_view view(std::uint64_t from, std::uint64_t to) const {
    return {data_.get() + (from - base_), static_cast<std::size_t>(to - from)};
  }
  // Offset of the first byte c in [from, end()), or end() when there is none.
  std::uint64_t find(char c, std::uint64_t from) const;
  // Marks the bytes before offset as consumed.
  void consume_to(std::uint64_t offset) { begin_ = static_cast<std::size_t>(offset - base_); }
  // Reads once more after the unread bytes, which it may move; false when the file is exhausted.
  // Ends the validity of every view.
  bool refill();

 private:
  std::unique_ptr<InputFile> file_;
  std::unique_ptr<char[]> data_;
  std::size_t capacity_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t base_ = 0;  // file offset of data_[0]
  bool eof_ = false;
};

inline constexpr std::size_t kLineReaderBufferSize = 64 * 1024;

// Reads the master part list: only LF ends a line and a CR stays in the line text.
// Text after the last LF is not a line.
class PartListLineReader {
 public:
  explicit PartListLineReader(std::string path, std::size_t buffer_size = kLineReaderBufferSize);

  // Sets line to the next complete line (without its LF), valid until the next call;
  // false when no complete line is left.
  bool next_line(std::string_view& line);

 private:
  ReadBuffer buffer_;
  std::uint64_t scanned_ = 0;  // no LF lies in [buffer_.begin(), scanned_)
};

}  // namespace unitcheck
