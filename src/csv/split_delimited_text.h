#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

// Cuts one line of the master part list in the delimited-text dialect: comma separators,
// blanks (bytes 0 to 32) around and between cells, quoted cells with doubled quotes.
// Replaces the content of cells with views: into line, or into unquoted for a quoted cell whose
// doubled quotes had to be made single. The views stay valid while neither line's bytes nor
// unquoted change; both vectors keep their capacity from line to line.
void split_delimited_text(std::string_view line, std::vector<std::string_view>& cells,
                          std::string& unquoted);

// The same with copies of the cells, whose strings keep their capacity from line to line.
void split_delimited_text(std::string_view line, std::vector<std::string>& cells);

}  // namespace unitcheck
