#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/text_map.h"

namespace unitcheck {

class CachedFileTests;

// The file tests of one checking thread, remembered by the cells that name the files rather
// than by their paths. The answer for a cell depends on nothing else (the data directory is
// fixed for the run and the run changes no file), so a cell seen before costs a lookup that no
// other thread touches: no path is built, no lock is taken. A cell not seen before goes to the
// shared cache, which makes the system call at most once per path.
//
// Mesh answers are kept with their unit directory, a few to a directory: a line's meshes are
// then found next to the directory its Directory cell just looked up, instead of one cache miss
// each in a table of every pair of directory and mesh.
class RowFileTests {
 public:
  // A unit directory as looked up for the line; valid until the next lookup of a directory.
  struct UnitDirectory {
    bool exists = false;
    std::uint32_t index = 0;
  };

  RowFileTests(std::string_view data_directory, CachedFileTests& shared,
               std::size_t max_entries = 1 << 16);

  // Whether DATADIR/units/DIRECTORY is a directory (separators converted).
  UnitDirectory unit_directory(std::string_view directory);
  // Whether the mesh file is in the unit directory (one that exists) or else in DATADIR/meshes/.
  bool mesh_exists(UnitDirectory directory, std::string_view file);
  // The path a unit directory was tested under (DATADIR/units/DIRECTORY); valid as the handle.
  std::string_view directory_path(UnitDirectory directory) const {
    return directories_[directory.index].directory;
  }
  // Whether DATADIR/cockpits/COCKPIT is a directory.
  bool cockpit_exists(std::string_view cockpit);

 private:
  // A unit directory's answer and the mesh answers found in it, each as: the answer (one
  // byte), the file name's length (four bytes), the name.
  struct DirectoryAnswers {
    std::string directory;
    bool exists = false;
    std::string meshes;
    std::uint32_t mesh_count = 0;
  };

  std::string_view data_directory_;
  CachedFileTests& shared_;
  std::size_t max_entries_;
  TextMap<std::uint32_t> directory_index_;  // into directories_
  std::vector<DirectoryAnswers> directories_;
  std::size_t mesh_count_ = 0;  // over every directory
  TextMap<bool> cockpits_;
  std::string path_;  // reused for every path
};

}  // namespace unitcheck
