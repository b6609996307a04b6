#include "server/text_document.h"

#include <algorithm>
#include <utility>

#include "csv/unit_lines.h"

namespace unitcheck::server {
namespace {

// Where the lines of text (whole lines from a line's beginning) begin, 0 first; its end too
// when it ends with a line end.
std::vector<std::size_t> line_starts(std::string_view text) {
  std::vector<std::size_t> starts{0};
  UnitLines lines(text, true);
  for (std::string_view line; lines.next(line);) {
    const std::size_t line_end = static_cast<std::size_t>(line.data() - text.data()) + line.size();
    // The last line of the text may have no line end, and then no line follows it.
    if (lines.consumed() > line_end) starts.push_back(lines.consumed());
  }
  return starts;
}

}  // namespace

TextDocument::TextDocument(std::string text, std::size_t block_size)
    : block_size_(std::max<std::size_t>(block_size, 1)) {
  replace_all(std::move(text));
}

TextDocument::TextDocument(SharedText text, std::size_t block_size)
    : block_size_(std::max<std::size_t>(block_size, 1)) {
  replace_all(std::move(text));
}

void TextDocument::replace_all(std::string text) {
  replace_all(shared_text(std::move(text)));
}

void TextDocument::replace_all(SharedText text) {
  blocks_.clear();
  joined_ = std::string();
  joined_current_ = false;
  edited_ = false;
  opened_ = std::move(text);
  put_opened_blocks();
  count_blocks();
}

// A block ends at a line's beginning, which never falls between the CR and the LF of one line
// end: each block's lines, found in its bytes alone, are the document's.
template <class MakeBlock>
void TextDocument::put_blocks(std::string_view text, std::size_t first, std::size_t last,
                              MakeBlock make_block) {
  const bool at_end = last == blocks_.size();
  const std::vector<std::size_t> starts = line_starts(text);
  std::vector<Block> cut;
  for (std::size_t line = 0; line < starts.size();) {
    const std::size_t begin = starts[line];
    std::size_t next = line + 1;
    while (next < starts.size() && starts[next] < text.size() &&
           starts[next] - begin < block_size_) {
      ++next;
    }
    const std::size_t end =
        next < starts.size() && starts[next] < text.size() ? starts[next] : text.size();
    Block block = make_block(begin, end);
    for (std::size_t at = line; at < next && at < starts.size(); ++at) {
      block.starts.push_back(starts[at] - begin);
    }
    // The empty last line belongs to the document's last block.
    if (end == text.size() && at_end && starts.back() == text.size() && end > begin) {
      block.starts.push_back(end - begin);
    }
    cut.push_back(std::move(block));
    if (end == text.size()) break;
    line = next;
  }
  // No block is empty unless the document is.
  if (text.empty() && !(first == 0 && at_end)) cut.clear();
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(first),
                blocks_.begin() + static_cast<std::ptrdiff_t>(last));
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(first),
                 std::make_move_iterator(cut.begin()), std::make_move_iterator(cut.end()));
}

void TextDocument::put_opened_blocks() {
  const std::string_view text = opened_.bytes;
  put_blocks(text, 0, 0, [text](std::size_t begin, std::size_t end) {
    Block block;
    block.kept = text.substr(begin, end - begin);
    return block;
  });
}

// An edit that leaves one block (such as an edit inside one long line) moves the edited text
// into it, which put_blocks then reads only the size of: a line of 50 MB edited is held once,
// not twice while it is cut.
void TextDocument::put_edited_blocks(std::string text, std::size_t first, std::size_t last) {
  put_blocks(text, first, last, [&text](std::size_t begin, std::size_t end) {
    Block block;
    block.owned = true;
    if (begin == 0 && end == text.size()) {
      block.own = std::move(text);
    } else {
      block.own = text.substr(begin, end - begin);
    }
    return block;
  });
}

void TextDocument::count_blocks() {
  block_offsets_.resize(blocks_.size());
  block_lines_.resize(blocks_.size());
  std::size_t offset = 0;
  std::size_t lines = 0;
  bool views = false;
  for (std::size_t index = 0; index < blocks_.size(); ++index) {
    block_offsets_[index] = offset;
    block_lines_[index] = lines;
    offset += blocks_[index].text().size();
    lines += blocks_[index].starts.size();
    views = views || !blocks_[index].owned;
  }
  size_ = offset;
  // The opened text is let go once edits have given every block bytes of its own.
  if (!views) opened_ = SharedText{};
}

std::string_view TextDocument::text() const {
  if (!edited_) return opened_.bytes;
  if (!joined_current_) {
    joined_.clear();
    joined_.reserve(size_);
    for (const Block& block : blocks_) joined_.append(block.text());
    joined_current_ = true;
  }
  return joined_;
}

std::size_t TextDocument::block_of_offset(std::size_t offset) const {
  const auto after = std::upper_bound(block_offsets_.begin(), block_offsets_.end(), offset);
  return static_cast<std::size_t>(after - block_offsets_.begin()) - 1;
}

std::size_t TextDocument::block_of_line(std::size_t line) const {
  const auto after = std::upper_bound(block_lines_.begin(), block_lines_.end(), line);
  return static_cast<std::size_t>(after - block_lines_.begin()) - 1;
}

std::size_t TextDocument::line_start(std::size_t line) const {
  const std::size_t block = block_of_line(line);
  return block_offsets_[block] + blocks_[block].starts[line - block_lines_[block]];
}

std::string_view TextDocument::line(std::size_t line) const {
  const std::size_t index = block_of_line(line);
  const Block& block = blocks_[index];
  const std::size_t local = line - block_lines_[index];
  const std::size_t begin = block.starts[local];
  const std::string_view text = block.text();
  std::size_t end = local + 1 < block.starts.size() ? block.starts[local + 1] : text.size();
  // Drop the line end: LF, CR or CR LF.
  if (end > begin && text[end - 1] == '\n') --end;
  if (end > begin && text[end - 1] == '\r') --end;
  return text.substr(begin, end - begin);
}

std::size_t TextDocument::line_of(std::size_t offset) const {
  offset = std::min(offset, size_);
  const std::size_t index = block_of_offset(offset);
  const std::vector<std::size_t>& starts = blocks_[index].starts;
  const auto after = std::upper_bound(starts.begin(), starts.end(), offset - block_offsets_[index]);
  return block_lines_[index] + static_cast<std::size_t>(after - starts.begin()) - 1;
}

std::size_t TextDocument::offset_of(Position position, PositionEncoding encoding) const {
  if (position.line >= line_count()) return size_;
  const auto index = static_cast<std::size_t>(position.line);
  const std::string_view text = line(index);
  std::size_t byte = text.size();
  if (encoding == PositionEncoding::Utf8) {
    if (position.character < text.size()) byte = static_cast<std::size_t>(position.character);
  } else {
    Utf16Walk walk;
    byte = byte_at_utf16_units(text, position.character, walk);
  }
  return line_start(index) + byte;
}

Position TextDocument::position_of(std::size_t offset, PositionEncoding encoding) const {
  offset = std::min(offset, size_);
  const std::size_t index = line_of(offset);
  Utf16Walk walk;
  return Position{index, character_of(index, offset - line_start(index), encoding, walk)};
}

std::uint64_t TextDocument::character_of(std::size_t line_index, std::size_t byte_in_line,
                                         PositionEncoding encoding, Utf16Walk& walk) const {
  const std::string_view text = line(line_index);
  byte_in_line = std::min(byte_in_line, text.size());
  if (encoding == PositionEncoding::Utf8) return byte_in_line;
  return utf16_units_before(text, byte_in_line, walk);
}

// Whether a line begins at a byte depends only on that byte and the one before it. So a block
// that begins before the edit's first byte begins a line still, and so does one that begins
// after its last byte. The blocks from the one before the edit (when the edit begins at a
// block's beginning, a CR before it may now be followed by an inserted LF) to the one that holds
// its end (which begins at the end when the edit ends at a block's end) are joined, edited, and
// cut again.
void TextDocument::replace(std::size_t begin, std::size_t end, std::string_view replacement) {
  std::size_t first = block_of_offset(begin);
  if (first > 0 && block_offsets_[first] == begin) --first;
  std::size_t last = block_of_offset(end) + 1;
  std::string text;
  const std::size_t base = block_offsets_[first];
  const std::size_t joined = (last < blocks_.size() ? block_offsets_[last] : size_) - base;
  // Room for the edited text exactly: it may become a block as it is.
  text.reserve(joined - (end - begin) + replacement.size());
  for (std::size_t index = first; index < last; ++index) text.append(blocks_[index].text());
  text.replace(begin - base, end - begin, replacement);
  put_edited_blocks(std::move(text), first, last);
  count_blocks();
  edited_ = true;
  joined_current_ = false;
}

}  // namespace unitcheck::server
