#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "csv/split_delimited_text.h"

namespace unitcheck {

// The master part list's line rule: only LF ends a line, a CR stays in the line's text, and
// text after the last LF is not a line. Calls on_line(std::string_view line) for each line.
template <class OnLine>
void for_each_part_list_line(std::string_view text, OnLine&& on_line) {
  for (std::size_t begin = 0;;) {
    const std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) return;
    on_line(text.substr(begin, end - begin));
    begin = end + 1;
  }
}

// Calls on_record(const std::vector<std::string_view>& cells) for each line of the part list
// that makes a record: every line but the empty ones and those that begin with a comma. The
// cells are cut by split_delimited_text, valid for the call.
template <class OnRecord>
void for_each_part_list_record(std::string_view text, OnRecord&& on_record) {
  std::vector<std::string_view> cells;
  std::string unquoted;
  for_each_part_list_line(text, [&](std::string_view line) {
    if (line.empty() || line.front() == ',') return;
    split_delimited_text(line, cells, unquoted);
    on_record(cells);
  });
}

}  // namespace unitcheck
