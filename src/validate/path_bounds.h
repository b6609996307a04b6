#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
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
// Whether depth_after(depth, cell) is below the data directory.
bool climbs_out(int depth, std::string_view cell);
// Whether text holds no separator ('/' or '\\') and no "..": a name alone, which stays where it
// is put.
bool is_name_alone(std::string_view text);
// Whether cell is absolute: a leading separator, or a drive letter and colon ("C:").
bool is_absolute_cell(std::string_view cell);

// Judges path cells for one checking thread. The text alone tells most, at no system call; links
// are followed only for cells that the file tests found, and with realpath only for those that
// hold a separator or are links themselves, so that a plain name costs one lstat. The answers
// about links are kept by folder and cell, as the same cells come back line after line.
class PathBounds {
 public:
  // Keeps views of data_directory and of judging's real root: both outlive it.
  PathBounds(std::string_view data_directory, const PathJudging& judging,
             std::size_t max_entries = 1 << 16);

  // How cell, joined under folder (relative to the data directory, ending in '/', depth levels
  // down), leaves the data directory. convert: whether its file test reads backslashes as
  // slashes, so that links are followed on the path that test used. found: what that test
  // answered; links are followed only for a cell found, as nothing else is there to lead out.
  PathEscape judge(std::string_view folder, int depth, std::string_view cell, bool convert,
                   bool found);
  // How a mesh file leaves the data directory: by its text, from meshes/ and from the unit's
  // folder (unit_folder, unit_depth levels down; empty when the unit directory itself leads out,
  // which has its own finding); by links, when found, where the file test finds it: the unit's
  // folder first, then meshes/.
  PathEscape judge_mesh(std::string_view unit_folder, int unit_depth, std::string_view file,
                        bool found);
  // Whether judge_mesh would answer None for file whatever its folder: a name alone, with no
  // separator, no ".." and no drive, while meshes/ stays inside. Most mesh cells are, and cost
  // one pass over their bytes.
  bool plainly_inside(std::string_view file) const;

 private:
  // By the links on the path that the data directory, folder and cell make; there tells whether
  // anything is at that path.
  PathEscape judge_links(std::string_view folder, std::string_view cell, bool convert, bool& there);
  // Keeps answer for key_.
  void keep(PathEscape answer);
  // Whether folder (a path on disk) leads out of the data directory, kept by folder.
  PathEscape folder_escape(std::string_view folder);
  // Whether the folder that folder lies in (units/, cockpits/ or meshes/) is a link out.
  bool base_outside(std::string_view folder) const;
  // The entries of folder (a path on disk) that are, or may be, links: listed once, kept by
  // folder.
  const TextSet& links_of(std::string_view folder);

  std::string_view data_directory_;
  std::string_view real_root_;
  std::size_t max_entries_;
  TextMap<PathEscape> answers_;  // by folder and cell, end to end
  TextMap<PathEscape> folders_;  // by the folder a found cell's last name lies in
  // Whether units/, cockpits/ and meshes/ lead out: all that is found under them does too.
  bool units_outside_ = false;
  bool cockpits_outside_ = false;
  bool meshes_outside_ = false;
  TextMap<std::uint32_t> link_folders_;  // folder → its place in link_sets_
  std::deque<TextSet> link_sets_;        // a deque: a set handed out stays where it is
  std::string key_;
  std::string path_;
};

}  // namespace unitcheck
