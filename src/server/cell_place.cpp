// Tested by tests/server/cell_place_test.cpp, which holds every finding of generated tables to
// the cell and the nested value that these name for its place.

#include "server/cell_place.h"

#include <algorithm>
#include <vector>

#include "csv/split_unit_row.h"

namespace unitcheck::server {
namespace {

bool is_nested_delimiter(char byte) {
  return byte == '{' || byte == ';' || byte == '}';
}

struct CutCell {
  std::size_t begin;
  std::size_t end;
};

}  // namespace

CellPlace locate_cell(std::string_view line, std::size_t byte, int field_limit) {
  // The cells as the checks cut them: the splitter itself, so the two cannot differ.
  std::vector<CutCell> cells;
  const RowShape shape = split_unit_row(line, field_limit, [&](int, std::string_view cell) {
    const auto begin = static_cast<std::size_t>(cell.data() - line.data());
    cells.push_back({begin, begin + cell.size()});
  });
  // The empty cell after a last comma is counted, not delivered.
  if (!shape.too_many && static_cast<std::size_t>(shape.cell_count) > cells.size())
    cells.push_back({line.size(), line.size()});
  if (cells.empty() || (shape.too_many && byte >= shape.stop_offset)) return {};
  // A cell's bytes begin after the last comma between the value before it and its own, or
  // just after the value before it (the closing quote of a quoted cell) when there is none.
  int found = 0;
  for (std::size_t i = 1; i < cells.size(); ++i) {
    const std::size_t low = cells[i - 1].end;
    std::size_t first = low + 1;
    if (cells[i].begin > low) {
      const std::string_view between = line.substr(low, cells[i].begin - low);
      if (const std::size_t comma = between.rfind(','); comma != std::string_view::npos)
        first = low + comma + 1;
    }
    if (byte < first) break;
    found = static_cast<int>(i);
  }
  const CutCell& cell = cells[static_cast<std::size_t>(found)];
  return CellPlace{found, cell.begin, cell.end};
}

NestedPlace locate_nested(std::string_view cell, std::size_t byte) {
  byte = std::min(byte, cell.size());
  NestedPlace place;
  // The walk up to the value: groups opened, and the values since the last group opened.
  int field = 0;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < byte; ++i) {
    const char c = cell[i];
    if (!is_nested_delimiter(c)) continue;
    if (c == '{') {
      ++place.group;
      field = 0;
    } else {
      ++field;
    }
    begin = i + 1;
  }
  std::size_t end = byte;
  while (end < cell.size() && !is_nested_delimiter(cell[end])) ++end;
  place.begin = begin;
  place.end = end;
  place.field = end < cell.size() && cell[end] == '{' ? -1 : field;
  return place;
}

MeshPiece mesh_piece(std::string_view cell) {
  std::size_t first = 0;
  while (first < cell.size() && !is_nested_delimiter(cell[first])) ++first;
  if (first == cell.size()) return {};
  std::size_t end = first + 1;
  while (end < cell.size() && !is_nested_delimiter(cell[end])) ++end;
  return MeshPiece{true, first + 1, end};
}

}  // namespace unitcheck::server
