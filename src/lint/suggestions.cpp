#include "lint/suggestions.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace unitcheck::lint {

namespace {

constexpr std::size_t kStackRow = 64;

constexpr char fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool all_letters_upper(std::string_view value) {
  bool any = false;
  for (const char c : value) {
    if (c >= 'a' && c <= 'z') return false;
    any = any || (c >= 'A' && c <= 'Z');
  }
  return any;
}

}  // namespace

int bounded_distance(std::string_view a, std::string_view b, int bound) {
  const int too_far = bound + 1;
  const auto la = static_cast<std::ptrdiff_t>(a.size());
  const auto lb = static_cast<std::ptrdiff_t>(b.size());
  if (std::max(la, lb) - std::min(la, lb) > bound) return too_far;
  // Three rows of the distance table (the swap looks two rows back); cells outside the band
  // |i - j| <= bound stay at too_far, which no path through them can beat. Names are short:
  // their rows live on the stack.
  const auto width = static_cast<std::size_t>(lb + 1);
  std::array<int, 3 * kStackRow> stack_rows;
  std::vector<int> heap_rows;
  int* rows = stack_rows.data();
  if (width > kStackRow) {
    heap_rows.resize(3 * width);
    rows = heap_rows.data();
  }
  std::span<int> before(rows, width), previous(rows + width, width),
      current(rows + 2 * width, width);
  std::fill(rows, rows + 3 * width, too_far);
  for (std::ptrdiff_t j = 0; j <= std::min<std::ptrdiff_t>(lb, bound); ++j)
    previous[static_cast<std::size_t>(j)] = static_cast<int>(j);
  for (std::ptrdiff_t i = 1; i <= la; ++i) {
    std::fill(current.begin(), current.end(), too_far);
    if (i <= bound) current[0] = static_cast<int>(i);
    int row_best = current[0];
    const std::ptrdiff_t from = std::max<std::ptrdiff_t>(1, i - bound);
    const std::ptrdiff_t to = std::min<std::ptrdiff_t>(lb, i + bound);
    for (std::ptrdiff_t j = from; j <= to; ++j) {
      const auto u = static_cast<std::size_t>(j);
      const bool same = fold(a[static_cast<std::size_t>(i - 1)]) == fold(b[u - 1]);
      int best = std::min({previous[u] + 1, current[u - 1] + 1, previous[u - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && fold(a[static_cast<std::size_t>(i - 1)]) == fold(b[u - 2]) &&
          fold(a[static_cast<std::size_t>(i - 2)]) == fold(b[u - 1]))
        best = std::min(best, before[u - 2] + 1);
      current[u] = std::min(best, too_far);
      row_best = std::min(row_best, current[u]);
    }
    if (row_best > bound) return too_far;
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return std::min(previous[static_cast<std::size_t>(lb)], too_far);
}

int suggestion_bound(std::size_t length) {
  return length <= 4 ? 1 : 2;
}

std::string_view closest_boolean_word(std::string_view value) {
  const bool upper = all_letters_upper(value);
  const std::string_view words[] = {upper ? "TRUE" : "true", upper ? "FALSE" : "false"};
  ClosestName closest(value, suggestion_bound(value.size()));
  for (const std::string_view word : words) closest.consider(word);
  return closest.best();
}

void ClosestName::consider(std::string_view name) {
  if (exact_) return;
  if (name == value_) {
    exact_ = true;
    return;
  }
  const int distance = bounded_distance(value_, name, distance_ - 1);
  if (distance < distance_) {
    distance_ = distance;
    best_ = name;
  }
}

}  // namespace unitcheck::lint
