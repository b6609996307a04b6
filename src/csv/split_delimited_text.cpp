#include "csv/split_delimited_text.h"

#include <algorithm>
#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace unitcheck {
namespace {

// Bytes 0 to 32 are blanks; bytes 128 to 255 are not.
bool is_blank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::size_t skip_blanks(std::string_view line, std::size_t i) {
  while (i < line.size() && is_blank(line[i])) ++i;
  return i;
}

// The index of the first quote at or after from that is not the first of a doubled pair, or
// npos when a doubled pair comes first; the line's length when there is neither.
std::size_t closing_quote(std::string_view line, std::size_t from) {
  const std::size_t quote = std::min(line.find('"', from), line.size());
  if (quote + 1 < line.size() && line[quote + 1] == '"') return std::string_view::npos;
  return quote;
}

// Reads the quoted cell whose opening quote is at open into cell, turning each doubled quote into
// one; the cell runs to the end of the line when no quote closes it. Returns the index after the
// closing quote.
std::size_t read_quoted(std::string_view line, std::size_t open, std::string& unquoted,
                        std::string_view& cell) {
  std::size_t from = open + 1;
  std::size_t close = closing_quote(line, from);
  if (close != std::string_view::npos) {  // the usual case: nothing to unquote
    cell = line.substr(from, close - from);
    return close + 1;
  }
  const std::size_t start = unquoted.size();
  while (close == std::string_view::npos) {
    const std::size_t pair = line.find('"', from);
    unquoted.append(line.substr(from, pair + 1 - from));  // up to and with the first quote
    from = pair + 2;
    close = closing_quote(line, from);
  }
  unquoted.append(line.substr(from, close - from));
  cell = std::string_view(unquoted).substr(start);
  return close + 1;
}

// The index of the first blank or comma at or after i, or the line's length: 16 bytes at a
// time while 16 are left, most of a part list's cells being short and far from the line's end.
std::size_t unquoted_end(std::string_view line, std::size_t i) {
#if defined(__SSE2__)
  const __m128i comma = _mm_set1_epi8(',');
  const __m128i space = _mm_set1_epi8(' ');
  for (; i + 16 <= line.size(); i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i));
    // A blank is a byte of at most 32 unsigned: the lesser of it and 32 is itself.
    const __m128i blank = _mm_cmpeq_epi8(_mm_min_epu8(bytes, space), bytes);
    const int mask = _mm_movemask_epi8(_mm_or_si128(blank, _mm_cmpeq_epi8(bytes, comma)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  while (i < line.size() && !is_blank(line[i]) && line[i] != ',') ++i;
  return i;
}

}  // namespace

void split_delimited_text(std::string_view line, std::vector<std::string_view>& cells,
                          std::string& unquoted) {
  cells.clear();
  unquoted.clear();
  // Unquoting only shortens text, so this keeps the views into unquoted from moving.
  unquoted.reserve(line.size());

  std::size_t i = 0;
  bool started = false;
  while (i < line.size()) {
    if (started && line[i] == ',') ++i;  // one separator
    i = skip_blanks(line, i);
    if (i < line.size()) {
      if (line[i] == '"') {
        std::string_view cell;
        i = read_quoted(line, i, unquoted, cell);
        cells.push_back(cell);
      } else {
        const std::size_t j = unquoted_end(line, i);
        cells.push_back(line.substr(i, j - i));  // empty when line[i] is a comma
        i = j;
      }
    } else if (started) {
      cells.push_back(line.substr(i));  // empty: the line ended right after a separator
    }
    i = skip_blanks(line, i);
    started = true;
  }
}

void split_delimited_text(std::string_view line, std::vector<std::string>& cells) {
  std::vector<std::string_view> views;
  std::string unquoted;
  split_delimited_text(line, views, unquoted);
  cells.resize(views.size());
  for (std::size_t k = 0; k < views.size(); ++k) cells[k].assign(views[k]);
}

}  // namespace unitcheck
