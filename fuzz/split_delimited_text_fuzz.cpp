// Splits arbitrary bytes as a delimited-text line and checks the cells against a position-by-
// position model of the rules, with a reused cell list holding another line's cells.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "csv/split_delimited_text.h"

namespace {

// The rules followed with 1-based positions; the byte after the end of the line is no quote.
std::vector<std::string> model(std::string_view s) {
  const std::size_t n = s.size();
  auto at = [&](std::size_t i) { return i >= 1 && i <= n ? s[i - 1] : '\0'; };
  auto blank = [&](std::size_t i) { return static_cast<unsigned char>(at(i)) <= 32; };
  std::vector<std::string> cells;
  std::size_t i = 1;
  bool started = false;
  while (i <= n) {
    if (started && at(i) == ',') ++i;
    while (i <= n && blank(i)) ++i;
    if (i <= n) {
      if (at(i) == '"') {
        std::size_t j = i + 1;
        while (j <= n && (at(j) != '"' || at(j + 1) == '"')) j += at(j) == '"' ? 2 : 1;
        std::string cell;
        for (std::size_t m = i + 1; m < j && m <= n; ++m) {
          cell.push_back(at(m));
          if (at(m) == '"') ++m;  // a pair of quotes becomes one
        }
        cells.push_back(cell);
        i = j + 1;
      } else {
        std::size_t j = i;
        while (j <= n && !blank(j) && at(j) != ',') ++j;
        cells.emplace_back(s.substr(i - 1, j - i));
        i = j;
      }
    } else if (started) {
      cells.emplace_back();
    }
    while (i <= n && blank(i)) ++i;
    started = true;
  }
  return cells;
}

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);

  // Fill the list with the cells of the line's second half first, as a loader reusing it would.
  std::vector<std::string> cells;
  unitcheck::split_delimited_text(line.substr(size / 2), cells);
  unitcheck::split_delimited_text(line, cells);

  check(cells.size() <= size + 1);
  std::size_t total = 0;
  for (const std::string& cell : cells) total += cell.size();
  check(total <= size);
  check(cells == model(line));
  return 0;
}
