#include "lint/char_columns.h"

#include <algorithm>
#include <cstring>

namespace unitcheck::lint {

namespace {

bool is_continuation(unsigned char byte) {
  return (byte & 0xc0) == 0x80;
}

// The length of the well-formed sequence at text[i], or 1 when there is none.
std::size_t sequence_length(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 1;
  unsigned char low = 0x80;  // the second byte's bounds: no overlong forms, no surrogates
  unsigned char high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 1;
  }
  if (i + length > text.size()) return 1;
  const auto second = static_cast<unsigned char>(text[i + 1]);
  if (second < low || second > high) return 1;
  for (std::size_t k = 2; k < length; ++k)
    if (!is_continuation(static_cast<unsigned char>(text[i + k]))) return 1;
  return length;
}

}  // namespace

std::int64_t code_point_column(std::string_view line, std::int64_t byte_column, LinePlace& place) {
  const auto target = static_cast<std::size_t>(
      std::clamp<std::int64_t>(byte_column - 1, 0, static_cast<std::int64_t>(line.size())));
  if (place.line != line.data() || static_cast<std::size_t>(place.byte) > target)
    place = LinePlace{line.data(), 0, 0};
  auto i = static_cast<std::size_t>(place.byte);
  std::int64_t count = place.code_points;
  while (i < target) {
    // Eight ASCII bytes at a time: most lines are ASCII up to the finding.
    if (i + 8 <= target) {
      std::uint64_t word;
      std::memcpy(&word, line.data() + i, 8);
      if ((word & 0x8080808080808080u) == 0) {
        i += 8;
        count += 8;
        continue;
      }
    }
    i += static_cast<unsigned char>(line[i]) < 0x80 ? 1 : sequence_length(line, i);
    ++count;
  }
  // A sequence may reach past the target byte (a column inside a character): count from its end.
  place = LinePlace{line.data(), static_cast<std::int64_t>(i), count};
  return count + 1 - (i > target ? 1 : 0);
}

}  // namespace unitcheck::lint
