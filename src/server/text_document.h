#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "server/positions.h"

namespace unitcheck::server {

// The text of an open document and where its lines begin. Lines end as the unit table's lines
// do (LF, CR or CR LF: csv/unit_lines.h), which are also the protocol's line ends; a text that
// ends with a line end has one more, empty, line. An edit finds its lines again only around the
// bytes it replaced.
class TextDocument {
 public:
  explicit TextDocument(std::string text);

  std::string_view text() const { return text_; }
  std::size_t line_count() const { return line_starts_.size(); }
  // The line's bytes, without its line end; line < line_count().
  std::string_view line(std::size_t line) const;
  std::size_t line_start(std::size_t line) const { return line_starts_[line]; }
  // The line that holds the byte at offset (the last line for the text's end).
  std::size_t line_of(std::size_t offset) const;

  // The byte offset of a position: a line past the last stands for the text's end, a character
  // past the line's end for that end (its line end is not part of the line).
  std::size_t offset_of(Position position, PositionEncoding encoding) const;
  // The position of the byte at offset (clamped to the text).
  Position position_of(std::size_t offset, PositionEncoding encoding) const;
  // The same for a byte of a known line, going on from walk along that line (Utf16 only).
  std::uint64_t character_of(std::size_t line, std::size_t byte_in_line, PositionEncoding encoding,
                             Utf16Walk& walk) const;

  // Replaces the bytes [begin, end) with replacement (begin <= end <= size).
  void replace(std::size_t begin, std::size_t end, std::string_view replacement);
  void replace_all(std::string text);

 private:
  std::string text_;
  std::vector<std::size_t> line_starts_;  // ascending; the first is 0
};

}  // namespace unitcheck::server
