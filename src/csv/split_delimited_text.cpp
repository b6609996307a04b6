#include "csv/split_delimited_text.h"

#include <cstddef>

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

// Reads the quoted cell whose opening quote is at open into cell, turning each doubled quote into
// one; the cell runs to the end of the line when no quote closes it. Returns the index after the
// closing quote.
std::size_t read_quoted(std::string_view line, std::size_t open, std::string& cell) {
  std::size_t j = open + 1;
  while (j < line.size()) {
    if (line[j] != '"') {
      cell.push_back(line[j]);
      ++j;
    } else if (j + 1 < line.size() && line[j + 1] == '"') {
      cell.push_back('"');
      j += 2;
    } else {
      break;
    }
  }
  return j + 1;
}

// The index of the first blank or comma at or after i, or the line's length.
std::size_t unquoted_end(std::string_view line, std::size_t i) {
  while (i < line.size() && !is_blank(line[i]) && line[i] != ',') ++i;
  return i;
}

}  // namespace

void split_delimited_text(std::string_view line, std::vector<std::string>& cells) {
  std::size_t count = 0;
  // The next cell, reusing a string of an earlier line when there is one.
  auto next_cell = [&]() -> std::string& {
    if (count == cells.size()) cells.emplace_back();
    std::string& cell = cells[count++];
    cell.clear();
    return cell;
  };

  std::size_t i = 0;
  bool started = false;
  while (i < line.size()) {
    if (started && line[i] == ',') ++i;  // one separator
    i = skip_blanks(line, i);
    if (i < line.size()) {
      if (line[i] == '"') {
        i = read_quoted(line, i, next_cell());
      } else {
        const std::size_t j = unquoted_end(line, i);
        next_cell().assign(line.substr(i, j - i));  // empty when line[i] is a comma
        i = j;
      }
    } else if (started) {
      next_cell();  // the line ended right after a separator
    }
    i = skip_blanks(line, i);
    started = true;
  }
  cells.resize(count);
}

}  // namespace unitcheck
