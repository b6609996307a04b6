#include "lint/char_columns.h"

#include <algorithm>
#include <cstring>

#include "lint/utf8.h"

namespace unitcheck::lint {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// How many bytes text begins with that are ASCII, counted in whole blocks of 32 and 8 bytes,
// then one by one up to the first byte that is not.
std::size_t ascii_prefix(std::string_view text) {
  std::size_t n = 0;
  for (; n + 32 <= text.size(); n += 32) {
    std::uint64_t words[4];
    std::memcpy(words, text.data() + n, sizeof words);
    if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0) break;
  }
  for (; n + 8 <= text.size(); n += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + n, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (n < text.size() && static_cast<unsigned char>(text[n]) < 0x80) ++n;
  return n;
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
    // Most lines are ASCII up to the finding: 32 bytes at a time, each a code point.
    const std::size_t ascii = ascii_prefix(line.substr(i, target - i));
    i += ascii;
    count += static_cast<std::int64_t>(ascii);
    if (i == target) break;
    i += std::max<std::size_t>(1, first_utf8_char(line.substr(i)).length);
    ++count;
  }
  // A sequence may reach past the target byte (a column inside a character): count from its end.
  place = LinePlace{line.data(), static_cast<std::int64_t>(i), count};
  return count + 1 - (i > target ? 1 : 0);
}

}  // namespace unitcheck::lint
