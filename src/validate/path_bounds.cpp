#include "validate/path_bounds.h"

#include <algorithm>

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

bool climbs_out(int depth, std::string_view cell) {
  // Most cells hold no "..": found by a search rather than a walk over their names.
  return cell.find("..") != std::string_view::npos && depth_after(depth, cell) < 0;
}

PathBounds::PathBounds(std::string_view data_directory, const PathJudging& judging,
                       std::size_t max_entries)
    : data_directory_(data_directory), real_root_(judging.real_root), max_entries_(max_entries) {
  if (real_root_.empty()) return;
  const auto outside = [&](std::string_view folder) {
    const std::string real = real_path(std::string(data_directory).append(folder));
    return !real.empty() && !lies_under(real, real_root_);
  };
  units_outside_ = outside("units");
  cockpits_outside_ = outside("cockpits");
  meshes_outside_ = outside("meshes");
}

bool PathBounds::base_outside(std::string_view folder) const {
  if (folder.starts_with("units/")) return units_outside_;
  if (folder.starts_with("cockpits/")) return cockpits_outside_;
  return folder.starts_with("meshes/") && meshes_outside_;
}

PathEscape PathBounds::judge(std::string_view folder, int depth, std::string_view cell,
                             bool convert, bool found) {
  if (is_absolute_cell(cell)) return PathEscape::Absolute;
  if (climbs_out(depth, cell)) return PathEscape::Climbs;
  if (!found) return PathEscape::None;
  key_.assign(folder).append(cell);
  if (const PathEscape* answer = answers_.find(key_)) return *answer;
  bool there = false;
  const PathEscape answer = judge_links(folder, cell, convert, there);
  keep(answer);
  return answer;
}

PathEscape PathBounds::judge_mesh(std::string_view unit_folder, int unit_depth,
                                  std::string_view file, bool found) {
  if (is_absolute_cell(file)) return PathEscape::Absolute;
  // From a unit folder one level down or deeper, a file climbs out when it does from meshes/.
  if (climbs_out(unit_folder.empty() ? 1 : std::min(1, unit_depth), file))
    return PathEscape::Climbs;
  if (!found) return PathEscape::None;
  key_.assign(unit_folder.empty() ? std::string_view("meshes/") : unit_folder).append(file);
  if (const PathEscape* answer = answers_.find(key_)) return *answer;
  bool there = false;
  PathEscape answer = PathEscape::None;
  if (!unit_folder.empty()) answer = judge_links(unit_folder, file, true, there);
  if (!there) answer = judge_links("meshes/", file, true, there);
  keep(answer);
  return answer;
}

void PathBounds::keep(PathEscape answer) {
  if (key_.size() > kLongestKept) return;
  if (answers_.size() >= max_entries_) answers_.clear();
  answers_.insert(key_, answer);
}

// A cell that stays inside by its text may still name a link that leads out, or a folder that
// is one: realpath tells, but only a cell that holds a separator, or is a link itself, pays it.
PathEscape PathBounds::judge_links(std::string_view folder, std::string_view cell, bool convert,
                                   bool& there) {
  path_.assign(data_directory_).append(folder).append(cell);
  if (convert) convert_separators(path_);
  const LinkState state = link_state(path_);
  there = state != LinkState::Missing;
  if (real_root_.empty() || state == LinkState::Missing) return PathEscape::None;
  if (base_outside(folder)) return PathEscape::Linked;
  const bool separated = cell.find('/') != std::string_view::npos ||
                         (convert && cell.find('\\') != std::string_view::npos);
  if (!separated && state != LinkState::Link) return PathEscape::None;
  const std::string real = real_path(path_);
  if (real.empty() || lies_under(real, real_root_)) return PathEscape::None;
  return PathEscape::Linked;
}

}  // namespace unitcheck
