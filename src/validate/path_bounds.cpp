// Tested by tests/validate/path_bounds_test.cpp and the lint case
// path-cells-leading-out-of-the-data-directory.

#include "validate/path_bounds.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fu;

// 0x80 in each byte of word that equals c, nothing elsewhere (no borrow crosses bytes).
std::uint64_t bytes_equal(std::uint64_t word, char c) {
  const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

}  // namespace

// Eight bytes at a time: a mark per byte that is a separator, and one per dot whose next byte is
// a dot too (the last dot of a block is carried into the next). Worked example, "ab..c/" padded
// with NULs: dots = 0x80 in bytes 2 and 3; dots & (dots >> 8) marks byte 2: a "..".
bool is_name_alone(std::string_view text) {
  bool dot_before = false;  // the last byte of the block before was a dot
  for (std::size_t at = 0; at < text.size(); at += 8) {
    std::uint64_t word = 0;  // NULs past the end are none of the bytes looked for
    std::memcpy(&word, text.data() + at, std::min<std::size_t>(8, text.size() - at));
    const std::uint64_t dots = bytes_equal(word, '.');
    if ((bytes_equal(word, '/') | bytes_equal(word, '\\') | (dots & (dots >> 8))) != 0)
      return false;
    if (dot_before && (dots & 0x80) != 0) return false;
    dot_before = (dots >> 56) != 0;
  }
  return true;
}

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

const TextSet& PathBounds::links_of(std::string_view folder) {
  if (const std::uint32_t* kept = link_folders_.find(folder)) return link_sets_[*kept];
  if (link_sets_.size() >= max_entries_) {
    link_folders_.clear();
    link_sets_.clear();
  }
  TextSet& links = link_sets_.emplace_back();
  for (const std::string& name : maybe_link_names(std::string(folder))) links.insert(name);
  if (folder.size() <= kLongestKept)
    link_folders_.insert(folder, static_cast<std::uint32_t>(link_sets_.size() - 1));
  return links;
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
  if (base_outside(folder)) return PathEscape::Linked;
  // A last name that is no link leads where its folder does, and one listing of a folder tells
  // which of its names are links: cells under one folder (units of one faction) cost no system
  // call of their own, and a name alone none at all.
  path_.assign(data_directory_).append(folder).append(cell);
  if (convert) convert_separators(path_);
  const std::size_t slash = path_.rfind('/');
  const std::string_view parent = std::string_view(path_).substr(0, slash);
  const std::string_view last = std::string_view(path_).substr(slash + 1);
  if (last != "." && last != ".." && !links_of(parent).contains(last))
    return is_name_alone(cell) ? PathEscape::None : folder_escape(parent);
  key_.assign(folder).append(cell);
  if (const PathEscape* answer = answers_.find(key_)) return *answer;
  bool there = false;
  const PathEscape answer = judge_links(folder, cell, convert, there);
  keep(answer);
  return answer;
}

bool PathBounds::plainly_inside(std::string_view file) const {
  if (meshes_outside_ || (file.size() >= 2 && file[1] == ':')) return false;
  return is_name_alone(file);
}

PathEscape PathBounds::judge_mesh(std::string_view unit_folder, int unit_depth,
                                  std::string_view file, bool found) {
  if (is_absolute_cell(file)) return PathEscape::Absolute;
  // From a unit folder one level down or deeper, a file climbs out when it does from meshes/.
  if (climbs_out(unit_folder.empty() ? 1 : std::min(1, unit_depth), file))
    return PathEscape::Climbs;
  if (!found) return PathEscape::None;
  // A file named alone leads out only as a link itself, which only an lstat per distinct file
  // would tell, and the checks read nothing through it: it is judged by its folders alone.
  if (file.find_first_of("/\\") == std::string_view::npos && !meshes_outside_)
    return PathEscape::None;
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
  // A last name that is no link leads where its folder does: cells under one folder (units of
  // one faction) resolve that folder once rather than once each.
  const std::size_t slash = path_.find_last_of(convert ? "/\\" : "/");
  const std::string_view last = std::string_view(path_).substr(slash + 1);
  if (state == LinkState::Entry && last != "." && last != "..")
    return folder_escape(std::string_view(path_).substr(0, slash));
  const std::string real = real_path(path_);
  if (real.empty() || lies_under(real, real_root_)) return PathEscape::None;
  return PathEscape::Linked;
}

PathEscape PathBounds::folder_escape(std::string_view folder) {
  if (const PathEscape* answer = folders_.find(folder)) return *answer;
  const std::string real = real_path(std::string(folder));
  const PathEscape answer =
      real.empty() || lies_under(real, real_root_) ? PathEscape::None : PathEscape::Linked;
  if (folder.size() <= kLongestKept) {
    if (folders_.size() >= max_entries_) folders_.clear();
    folders_.insert(folder, answer);
  }
  return answer;
}

}  // namespace unitcheck
