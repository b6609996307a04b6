#include "validate/path_bounds.h"

#include "platform/file_system.h"

namespace unitcheck {

namespace {

// Longer keys are judged each time rather than kept.
constexpr std::size_t kLongestKept = 4096;

bool is_separator(char c) {
  return c == '/' || c == '\\';
}

bool is_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool is_absolute_cell(std::string_view cell) {
  if (!cell.empty() && is_separator(cell.front())) return true;
  return cell.size() >= 2 && is_letter(cell[0]) && cell[1] == ':';
}

int depth_after(int depth, std::string_view cell) {
  std::size_t at = 0;
  while (at <= cell.size()) {
    std::size_t end = at;
    while (end < cell.size() && !is_separator(cell[end])) ++end;
    const std::string_view name = cell.substr(at, end - at);
    if (name == "..") {
      if (--depth < 0) return -1;
    } else if (!name.empty() && name != ".") {
      ++depth;
    }
    at = end + 1;
  }
  return depth;
}

PathBounds::PathBounds(std::string_view data_directory, const PathJudging& judging,
                       std::size_t max_entries)
    : data_directory_(data_directory), real_root_(judging.real_root), max_entries_(max_entries) {}

PathEscape PathBounds::judge(std::string_view folder, int depth, std::string_view cell,
                             bool convert) {
  key_.assign(folder).append(cell);
  if (const PathEscape* answer = answers_.find(key_)) return *answer;
  PathEscape answer = PathEscape::None;
  if (is_absolute_cell(cell)) {
    answer = PathEscape::Absolute;
  } else if (depth_after(depth, cell) < 0) {
    answer = PathEscape::Climbs;
  } else {
    answer = judge_links(folder, cell, convert);
  }
  if (key_.size() <= kLongestKept) {
    if (answers_.size() >= max_entries_) answers_.clear();
    answers_.insert(key_, answer);
  }
  return answer;
}

// A cell that stays inside by its text may still name a link that leads out, or a folder that
// is one: realpath tells, but only a cell that holds a separator, or is a link itself, pays it.
PathEscape PathBounds::judge_links(std::string_view folder, std::string_view cell, bool convert) {
  if (real_root_.empty()) return PathEscape::None;
  path_.assign(data_directory_).append(folder).append(cell);
  if (convert) convert_separators(path_);
  const bool separated = cell.find(convert ? '\\' : '/') != std::string_view::npos ||
                         cell.find('/') != std::string_view::npos;
  if (!separated && !is_link(path_)) return PathEscape::None;
  const std::string real = real_path(path_);
  if (real.empty() || lies_under(real, real_root_)) return PathEscape::None;
  return PathEscape::Linked;
}

}  // namespace unitcheck
