#pragma once

#include <string>
#include <string_view>

namespace unitcheck::lint {

// A data directory that holds a readable units/units.csv.
struct DataDirectory {
  // The directory as given, without trailing slashes, ending in a slash; empty for the current
  // directory given as "" or ".", so that paths read units/units.csv rather than ./units/...
  std::string prefix;

  std::string unit_table() const { return prefix + "units/units.csv"; }
  std::string part_list() const { return prefix + "master_part_list.csv"; }
  // The directory as the checks open files under it: never empty, ends in a slash.
  std::string root() const { return prefix.empty() ? "./" : prefix; }
  // Whether links that lead out of the directory are followed (--follow-links).
  bool follow_links = false;
};

// A data directory, or why there is none: the one-line error, such as
// cannot read 'mod/units/units.csv': No such file or directory
struct DataDirectoryResult {
  DataDirectory directory;  // also on failure: the directory that was tried
  std::string error;        // empty on success

  bool ok() const { return error.empty(); }
};

// The data directory that argument names: the directory itself, or the one above its units/
// folder, or the one two above its units/units.csv. Nothing else is searched. Its
// units/units.csv must open for reading as a regular file; otherwise the error names that
// path and the operating system's reason.
DataDirectoryResult resolve_data_directory(std::string_view argument);

// Why the directory's data files may not be read: the first of units/units.csv and
// master_part_list.csv whose real path (symbolic links followed) lies outside the directory's
// real path, as one line naming it and where it leads; empty when both stay inside. A mod is
// someone else's: a link in it must not put another file of the machine into a report.
std::string data_outside_directory(const DataDirectory& directory);

}  // namespace unitcheck::lint
