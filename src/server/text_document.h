#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "server/positions.h"
#include "server/shared_text.h"

namespace unitcheck::server {

// The bytes of a text block of a document aim at this size; a block holds whole lines, so one
// longer line is a block of its own.
inline constexpr std::size_t kTextBlockSize = std::size_t{64} << 10;

// The text of an open document and where its lines begin. Lines end as the unit table's lines
// do (LF, CR or CR LF: csv/unit_lines.h), which are also the protocol's line ends; a text that
// ends with a line end has one more, empty, line.
//
// The text is kept in blocks of whole lines, so that an edit costs what the blocks it touches
// hold, not what the document holds: the bytes of those blocks are joined, edited and cut into
// blocks again, and only the blocks' offsets and first lines are counted anew. The text a
// document is opened with is kept whole, and its blocks are views of it until an edit cuts them
// anew: opening a document of tens of megabytes copies nothing (nor does a whole new text). The
// whole text, for the checks, is joined when it is asked for after an edit.
class TextDocument {
 public:
  explicit TextDocument(std::string text, std::size_t block_size = kTextBlockSize);
  explicit TextDocument(SharedText text, std::size_t block_size = kTextBlockSize);

  // The whole text (joined from the blocks when it has changed since it was last asked for).
  std::string_view text() const;
  std::size_t size() const { return size_; }
  std::size_t line_count() const { return block_lines_.back() + blocks_.back().starts.size(); }
  // The line's bytes, without its line end; line < line_count().
  std::string_view line(std::size_t line) const;
  std::size_t line_start(std::size_t line) const;
  // The line that holds the byte at offset (the last line for the text's end).
  std::size_t line_of(std::size_t offset) const;
  // The text in blocks of whole lines, in order: read one after another, they are text(),
  // without its join.
  std::size_t block_count() const { return blocks_.size(); }
  std::string_view block(std::size_t index) const { return blocks_[index].text(); }

  // The byte offset of a position: a line past the last stands for the text's end, a character
  // past the line's end for that end (its line end is not part of the line).
  std::size_t offset_of(Position position, PositionEncoding encoding) const;
  // The position of the byte at offset (clamped to the text).
  Position position_of(std::size_t offset, PositionEncoding encoding) const;
  // The same for a byte of a known line, going on from walk along that line (Utf16 only).
  std::uint64_t character_of(std::size_t line, std::size_t byte_in_line, PositionEncoding encoding,
                             Utf16Walk& walk) const;

  // Replaces the bytes [begin, end) with replacement (begin <= end <= size()).
  void replace(std::size_t begin, std::size_t end, std::string_view replacement);
  void replace_all(std::string text);
  void replace_all(SharedText text);

 private:
  struct Block {
    std::string own;        // its bytes, once an edit has cut it
    std::string_view kept;  // else its bytes in the opened text
    bool owned = false;
    // Where its lines begin, from 0. The last block also lists its end when the text ends with
    // a line end: the empty last line begins there.
    std::vector<std::size_t> starts;

    std::string_view text() const { return owned ? std::string_view(own) : kept; }
  };

  // Cuts text (whole lines) into blocks and puts them in place of blocks_[first, last): views
  // of the opened text, or blocks of their own, the edited text moved into the last of them.
  void put_opened_blocks();
  void put_edited_blocks(std::string text, std::size_t first, std::size_t last);
  template <class MakeBlock>
  void put_blocks(std::string_view text, std::size_t first, std::size_t last, MakeBlock make_block);
  // Counts the blocks' offsets and lines anew; lets go of the opened text when no block views it.
  void count_blocks();
  std::size_t block_of_offset(std::size_t offset) const;
  std::size_t block_of_line(std::size_t line) const;

  std::size_t block_size_;
  std::vector<Block> blocks_;               // never empty
  std::vector<std::size_t> block_offsets_;  // the offset of each block's first byte
  std::vector<std::size_t> block_lines_;    // the index of each block's first line
  std::size_t size_ = 0;
  // The text as opened, never changed: kept where it is when the document moves, and shared by
  // its copies.
  SharedText opened_;
  bool edited_ = false;
  mutable std::string joined_;
  mutable bool joined_current_ = false;
};

}  // namespace unitcheck::server
