#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "csv/byte_scan.h"

namespace unitcheck {

// The shape of a unit line: how many cells it has (empty ones and the one after a trailing
// comma included) and whether splitting stopped because it had more than the field limit.
struct RowShape {
  int cell_count;
  bool too_many;
  std::size_t stop_offset;  // where splitting stopped when too_many: the first byte not split
};

// Cuts a unit line (at least one byte, not beginning with a comma) into cells, calling
// on_cell(int column_index, std::string_view cell) for each cell as soon as it is cut, empty
// cells included, with column indexes 0, 1, 2, ... Cells are views into line; nothing is
// allocated. The rules:
// - A quote opens a cell that the next quote closes; its text is taken unchanged (a comma in
//   it is text, there is no escape). Text before the opening quote is dropped.
// - Outside quotes a comma ends the cell that began after the previous comma (or at the start
//   of the line). A comma that follows a quoted cell ends nothing; it only opens the next cell,
//   so the text between the closing quote and that comma is dropped.
// - The last byte of the line ends the last cell: it runs from after the last opening comma,
//   or over the whole line when a quoted cell came after that comma, an unclosed quote included.
// - Once field_limit cells are cut, any further byte stops splitting with too_many set.
// - A last byte that is a comma counts one more, empty, cell that is not delivered.
// find(from, end) gives the first comma or quote in [from, end), or end: a form of
// find_any_of, such as one built for wider vectors.
struct FindCommaOrQuote {
  const char* operator()(const char* from, const char* end) const {
    return find_any_of(from, end, ',', '"', ',');
  }
};

template <class OnCell, class Find = FindCommaOrQuote>
RowShape split_unit_row(std::string_view line, int field_limit, OnCell&& on_cell, Find find = {});

// Where split_unit_row_until stopped: at the end of the line, with the row's shape; or at a cell
// boundary after a quoted cell, with the cells cut so far and where the next one begins.
struct SplitStop {
  bool at_end;
  RowShape shape;  // when at_end
  int column;
  std::size_t offset;
};

// split_unit_row over the rest of a line whose first cells are cut already: column of them,
// the last ended by the comma before offset (which is 0 when there is none). Before its first
// quote a line is cut by its commas alone, so a split that meets a quote can go on here. With
// kStopAfterQuoted it stops at the comma that follows a quoted cell (the first such comma that
// is not the line's last byte): there the line goes on as from a cell boundary again, which a
// split over masks can take up. Inlined into each caller, so that a caller built for wider
// vectors inlines the search too.
template <bool kStopAfterQuoted, class OnCell, class Find>
[[gnu::always_inline]] inline SplitStop split_unit_row_until(std::string_view line, int field_limit,
                                                             OnCell&& on_cell, Find find,
                                                             int column, std::size_t offset) {
  const char* const first = line.data();
  const char* const end = first + line.size();
  bool too_many = false;
  // Start of the cell opened by the last comma (or the line start); null after a quoted cell.
  const char* cell_start = first + offset;
  const char* k = cell_start;
  auto deliver = [&](const char* from, const char* to) {
    on_cell(column, std::string_view(from, static_cast<std::size_t>(to - from)));
    ++column;
  };
  // Delivers the last cell, which ends at the end of the line.
  auto deliver_last = [&] { deliver(cell_start != nullptr ? cell_start : first, end); };

  while (k != end) {
    if (column >= field_limit) {
      too_many = true;
      break;
    }
    if (*k == '"') {
      const void* close = std::memchr(k + 1, '"', static_cast<std::size_t>(end - (k + 1)));
      if (close == nullptr) {
        deliver_last();  // the unclosed quote and the rest of the line
        break;
      }
      deliver(k + 1, static_cast<const char*>(close));
      cell_start = nullptr;
      k = static_cast<const char*>(close) + 1;
    } else if (*k == ',') {
      const bool delivered = cell_start != nullptr;
      if (delivered) deliver(cell_start, k);
      cell_start = ++k;
      if (k == end && !delivered) deliver_last();  // the empty cell after the comma
      if (kStopAfterQuoted && !delivered && k != end)
        return SplitStop{false, {}, column, static_cast<std::size_t>(k - first)};
    } else {
      k = find(k + 1, end);
      if (k == end) deliver_last();
    }
  }
  if (!line.empty() && line.back() == ',') ++column;
  return SplitStop{true, RowShape{column, too_many, static_cast<std::size_t>(k - first)}, column,
                   line.size()};
}

template <class OnCell, class Find>
[[gnu::always_inline]] inline RowShape split_unit_row_from(std::string_view line, int field_limit,
                                                           OnCell&& on_cell, Find find, int column,
                                                           std::size_t offset) {
  return split_unit_row_until<false>(line, field_limit, on_cell, find, column, offset).shape;
}

template <class OnCell, class Find>
[[gnu::always_inline]] inline RowShape split_unit_row(std::string_view line, int field_limit,
                                                      OnCell&& on_cell, Find find) {
  return split_unit_row_from(line, field_limit, on_cell, find, 0, 0);
}

}  // namespace unitcheck
