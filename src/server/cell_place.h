#pragma once

#include <cstddef>
#include <string_view>

namespace unitcheck::server {

// Where a place of a unit line lies, as the row checks cut the line (csv/split_unit_row.h): the
// cell and its value's bytes. A place stands in the cell whose bytes it lies among, from the
// byte after the comma (or quote) that opens it up to the comma that ends it, that comma
// included: a cursor just after a value still stands in it.
struct CellPlace {
  int column = -1;        // the cell's index; -1 when the place lies past the cells cut
  std::size_t begin = 0;  // the value's first byte in the line (inside a quoted cell's quotes)
  std::size_t end = 0;    // the byte just past the value
};

// The cell of line (a unit line, not empty) that holds byte, cut into at most field_limit cells.
CellPlace locate_cell(std::string_view line, std::size_t byte, int field_limit);

// Where a place of a nested-list cell lies, as check_nested_list walks it: a value runs from
// the byte after a brace or semicolon (or the cell's start) to the next one (or the cell's
// end). '{' opens a group and its next value is the group's first field; ';' and '}' end a
// value and move to the next field.
struct NestedPlace {
  std::size_t group = 0;  // the braces '{' before the value: 0 before the first group
  int field = -1;         // the value's field (it may be past the table's last); -1 for text
                          // ended by '{', which is no value
  std::size_t begin = 0;  // the value's bytes in the cell
  std::size_t end = 0;
};

// The value of cell that holds byte (a byte of the cell, or its end).
NestedPlace locate_nested(std::string_view cell, std::size_t byte);

// The file piece of a Mesh cell, as the checks read it: the second piece of the cell cut at
// ';', '{' and '}'. found is false when the cell has no delimiter (the cell names no file).
struct MeshPiece {
  bool found = false;
  std::size_t begin = 0;  // in the cell
  std::size_t end = 0;
};
MeshPiece mesh_piece(std::string_view cell);

}  // namespace unitcheck::server
