#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/text_map.h"

namespace unitcheck {

// How a path cell leaves the data directory, if it does.
enum class PathEscape : std::uint8_t {
  None,
  Absolute,  // a leading separator or a drive letter
  Climbs,    // ".." above the data directory
  Linked,    // a symbolic link it names leads out
};

// What the checks need to judge path cells (unitlint asks for it; unitcheck does not). real_root
// is the data directory's real path, empty when it could not be resolved: then only the cells'
// text is judged.
struct PathJudging {
  std::string real_root;
};

// The depth below the data directory that cell leads to, joined under a folder depth levels
// down; -1 when ".." climbs above the data directory. '/' and '\\' both separate: the game reads
// either, and so do the file tests of directories and meshes.
int depth_after(int depth, std::string_view cell);
// Whether cell is absolute: a leading separator, or a drive letter and colon ("C:").
bool is_absolute_cell(std::string_view cell);

// Judges path cells for one checking thread. The text alone tells most; links are followed only
// for cells that hold a separator or are links themselves, so that a plain name costs one lstat.
// Answers are kept by folder and cell, as the same cells come back line after line.
class PathBounds {
 public:
  PathBounds(std::string_view data_directory, const PathJudging& judging,
             std::size_t max_entries = 1 << 16);

  // How cell, joined under folder (relative to the data directory, ending in '/', depth levels
  // down), leaves the data directory. convert: whether its file test reads backslashes as
  // slashes, so that links are followed on the path that test used.
  PathEscape judge(std::string_view folder, int depth, std::string_view cell, bool convert);

 private:
  PathEscape judge_links(std::string_view folder, std::string_view cell, bool convert);

  std::string_view data_directory_;
  std::string_view real_root_;
  std::size_t max_entries_;
  TextMap<PathEscape> answers_;  // by folder and cell, end to end
  std::string key_;
  std::string path_;
};

}  // namespace unitcheck
