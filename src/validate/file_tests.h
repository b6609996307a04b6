#pragma once

#include <string>
#include <string_view>

namespace unitcheck {

// The questions the row checks ask of the file system, by path: the data directory as the
// caller gave it, then the path under it that a cell names (DATADIR/units/DIR,
// DATADIR/meshes/FILE). CachedFileTests answers them from the disk and remembers its answers.
//
// A run changes no file, so answers may be kept for the run. A caller that lives longer (an
// editor's server, which checks the same data directory again and again while files around it
// come and go) keeps one FileTests from run to run and says what changed with forget and
// forget_folder between runs; answers that they do not name stay.
class FileTests {
 public:
  // Whether there is an entry at path, a directory included, links followed.
  virtual bool exists(const std::string& path) = 0;
  // Whether path names a directory, links followed.
  virtual bool is_directory(const std::string& path) = 0;

  // Forgets what is known about path: the entry there was made, removed or replaced.
  virtual void forget(std::string_view path) = 0;
  // Forgets what is known about folder and every path under it: a folder was made, removed,
  // renamed or listed anew. An empty folder forgets everything (what a link's change calls for:
  // any answer may have reached through it).
  virtual void forget_folder(std::string_view folder) = 0;

 protected:
  ~FileTests() = default;
};

}  // namespace unitcheck
