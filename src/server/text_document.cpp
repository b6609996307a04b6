#include "server/text_document.h"

#include <algorithm>
#include <utility>

#include "csv/unit_lines.h"

namespace unitcheck::server {
namespace {

// Appends the beginnings of the lines after the first within text[from, to), a span of whole
// lines (from is a line's beginning, to is one or the text's end).
void append_line_starts(std::string_view text, std::size_t from, std::size_t to,
                        std::vector<std::size_t>& starts) {
  const std::string_view span = text.substr(from, to - from);
  UnitLines lines(span, true);
  for (std::string_view line; lines.next(line);) {
    const std::size_t line_end = static_cast<std::size_t>(line.data() - span.data()) + line.size();
    // The last line of the text may have no line end, and then no line follows it.
    if (lines.consumed() > line_end) starts.push_back(from + lines.consumed());
  }
}

}  // namespace

TextDocument::TextDocument(std::string text) {
  replace_all(std::move(text));
}

void TextDocument::replace_all(std::string text) {
  text_ = std::move(text);
  line_starts_.assign(1, 0);
  append_line_starts(text_, 0, text_.size(), line_starts_);
}

std::string_view TextDocument::line(std::size_t line) const {
  const std::size_t begin = line_starts_[line];
  std::size_t end = line + 1 < line_starts_.size() ? line_starts_[line + 1] : text_.size();
  // Drop the line end: LF, CR or CR LF.
  if (end > begin && text_[end - 1] == '\n') --end;
  if (end > begin && text_[end - 1] == '\r') --end;
  return std::string_view(text_).substr(begin, end - begin);
}

std::size_t TextDocument::line_of(std::size_t offset) const {
  const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  return static_cast<std::size_t>(after - line_starts_.begin()) - 1;
}

std::size_t TextDocument::offset_of(Position position, PositionEncoding encoding) const {
  if (position.line >= line_starts_.size()) return text_.size();
  const auto index = static_cast<std::size_t>(position.line);
  const std::string_view text = line(index);
  std::size_t byte = text.size();
  if (encoding == PositionEncoding::Utf8) {
    if (position.character < text.size()) byte = static_cast<std::size_t>(position.character);
  } else {
    Utf16Walk walk;
    byte = byte_at_utf16_units(text, position.character, walk);
  }
  return line_starts_[index] + byte;
}

Position TextDocument::position_of(std::size_t offset, PositionEncoding encoding) const {
  offset = std::min(offset, text_.size());
  const std::size_t index = line_of(offset);
  Utf16Walk walk;
  return Position{index, character_of(index, offset - line_starts_[index], encoding, walk)};
}

std::uint64_t TextDocument::character_of(std::size_t line_index, std::size_t byte_in_line,
                                         PositionEncoding encoding, Utf16Walk& walk) const {
  const std::string_view text = line(line_index);
  byte_in_line = std::min(byte_in_line, text.size());
  if (encoding == PositionEncoding::Utf8) return byte_in_line;
  return utf16_units_before(text, byte_in_line, walk);
}

// Whether a line begins at a byte depends only on that byte and the one before it. So the
// beginnings before the edit's first byte stay; those after the end of the new bytes stay too,
// moved by the change in size; only the lines between are found again, from the beginning
// before the edit (a CR before it may now be followed by an inserted LF, and be one line end
// with it) to the first old beginning after the replaced bytes.
void TextDocument::replace(std::size_t begin, std::size_t end, std::string_view replacement) {
  text_.replace(begin, end - begin, replacement);
  const auto first_kept = std::lower_bound(line_starts_.begin(), line_starts_.end(), begin);
  const std::size_t from = first_kept == line_starts_.begin() ? 0 : *(first_kept - 1);
  const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), end);
  const std::size_t new_end = begin + replacement.size();
  std::vector<std::size_t> tail;
  tail.reserve(static_cast<std::size_t>(line_starts_.end() - after));
  for (auto at = after; at != line_starts_.end(); ++at) tail.push_back(*at - end + new_end);
  const std::size_t to = tail.empty() ? text_.size() : tail.front();
  line_starts_.erase(first_kept == line_starts_.begin() ? first_kept + 1 : first_kept,
                     line_starts_.end());
  append_line_starts(text_, from, to, line_starts_);
  if (!tail.empty()) {
    if (line_starts_.back() == tail.front()) line_starts_.pop_back();  // the span's end
    line_starts_.insert(line_starts_.end(), tail.begin(), tail.end());
  }
}

}  // namespace unitcheck::server
