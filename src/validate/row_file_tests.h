#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/text_map.h"
#include "validate/directory_records.h"

namespace unitcheck {

class FileTests;

// The file tests of one checking thread, remembered by the cells that name the files rather
// than by their paths. The answer for a cell depends on nothing else (the data directory is
// fixed for the run and the run changes no file), so a cell seen before costs a lookup that no
// other thread touches: no path is built, no lock is taken. A cell not seen before goes to the
// shared cache, which makes the system call at most once per path.
//
// Mesh answers are kept with their unit directory, in its record (DirectoryRecords): a line's
// meshes are then found next to the directory its Directory cell just looked up, instead of one
// cache miss each in a table of every pair of directory and mesh.
class RowFileTests {
 public:
  // A unit directory as looked up for the line; valid until the next lookup of a directory.
  struct UnitDirectory {
    bool exists = false;
    std::uint32_t record = DirectoryRecords::kNone;
  };

  RowFileTests(std::string_view data_directory, FileTests& shared,
               std::size_t max_entries = 1 << 16);

  // Starts fetching what unit_directory will read for the Directory cell of a line checked two
  // lines from now; a cell that is not the one looked up later costs nothing but the fetch.
  void look_ahead(std::string_view directory);
  // Whether DATADIR/units/DIRECTORY is a directory (separators converted).
  UnitDirectory unit_directory(std::string_view directory);
  // Whether the mesh file is in the unit directory (one that exists) or else in DATADIR/meshes/.
  // Keeping the answer may move the directory's record: the handle follows it.
  bool mesh_exists(UnitDirectory& directory, std::string_view file);
  // The path a unit directory was tested under (DATADIR/units/DIRECTORY); valid until the next
  // call of any function here.
  std::string_view directory_path(UnitDirectory directory);
  // Whether DATADIR/cockpits/COCKPIT is a directory.
  bool cockpit_exists(std::string_view cockpit);

 private:
  // The unit directory's path, into path_.
  void build_directory_path(std::string_view directory);

  std::string_view data_directory_;
  FileTests& shared_;
  std::size_t max_entries_;
  DirectoryRecords directories_;
  // The path of the last directory looked up when it was too long to keep (its handle has no
  // record): its meshes go to the shared cache each time.
  std::string unkept_path_;
  std::uint64_t ahead_ = 0;  // the hash of the cell looked ahead at last, 0 for none
  TextMap<bool> cockpits_;
  std::string path_;  // reused for every path
};

}  // namespace unitcheck
