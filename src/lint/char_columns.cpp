#include "lint/char_columns.h"

#include <algorithm>
#include <cstring>

#include "lint/utf8.h"

namespace unitcheck::lint {

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
    i += std::max<std::size_t>(1, first_utf8_char(line.substr(i)).length);
    ++count;
  }
  // A sequence may reach past the target byte (a column inside a character): count from its end.
  place = LinePlace{line.data(), static_cast<std::int64_t>(i), count};
  return count + 1 - (i > target ? 1 : 0);
}

}  // namespace unitcheck::lint
