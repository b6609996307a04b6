#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

// Cuts one line of the master part list in the delimited-text dialect: comma separators,
// blanks (bytes 0 to 32) around and between cells, quoted cells with doubled quotes.
// Replaces the content of cells, whose capacity is reused from line to line.
void split_delimited_text(std::string_view line, std::vector<std::string>& cells);

}  // namespace unitcheck
