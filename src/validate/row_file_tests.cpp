#include "validate/row_file_tests.h"

#include "platform/file_system.h"
#include "validate/file_tests.h"

namespace unitcheck {

namespace {

// Past this many meshes a directory's list starts afresh: a list is searched from its start.
constexpr std::uint32_t kMeshesPerDirectory = 64;
// Longer names are not kept (no file system has such names, and they would hold memory): they
// go to the shared cache each time.
constexpr std::size_t kLongestListedName = 4096;
// The records' arena starts afresh past this many bytes per entry of the bound.
constexpr std::size_t kRecordBytesPerEntry = 64;

// Sets path to the three pieces one after another, reusing its memory.
void build_path(std::string& path, std::string_view base, std::string_view middle,
                std::string_view name) {
  path.assign(base);
  path.append(middle);
  path.append(name);
}

}  // namespace

RowFileTests::RowFileTests(std::string_view data_directory, FileTests& shared,
                           std::size_t max_entries)
    : data_directory_(data_directory), shared_(shared), max_entries_(max_entries) {}

void RowFileTests::look_ahead(std::string_view directory) {
  // The slot of the cell before was asked for a line ago: it has arrived by now.
  if (ahead_ != 0) directories_.fetch_record(ahead_);
  ahead_ = directory.size() <= kLongestListedName ? DirectoryRecords::hash(directory) : 0;
  if (ahead_ != 0) directories_.fetch_slot(ahead_);
}

void RowFileTests::build_directory_path(std::string_view directory) {
  build_path(path_, data_directory_, "units/", directory);
  convert_separators(path_);
}

RowFileTests::UnitDirectory RowFileTests::unit_directory(std::string_view directory) {
  if (directory.size() > kLongestListedName) {
    build_directory_path(directory);
    unkept_path_.swap(path_);  // path_ is scratch: the cell's bytes are held once
    return UnitDirectory{shared_.is_directory(unkept_path_), DirectoryRecords::kNone};
  }
  const std::uint64_t hash = DirectoryRecords::hash(directory);
  const std::uint32_t found = directories_.find(directory, hash);
  if (found != DirectoryRecords::kNone) return UnitDirectory{directories_.exists(found), found};
  // Starting afresh only here keeps every handle given out for the line being checked valid.
  if (directories_.size() >= max_entries_ || directories_.mesh_count() >= max_entries_ ||
      directories_.bytes() >= max_entries_ * kRecordBytesPerEntry)
    directories_.clear();
  build_directory_path(directory);
  const bool exists = shared_.is_directory(path_);
  return UnitDirectory{exists, directories_.add(directory, hash, exists)};
}

std::string_view RowFileTests::directory_path(UnitDirectory directory) {
  if (directory.record == DirectoryRecords::kNone) return unkept_path_;
  build_directory_path(directories_.directory(directory.record));
  return path_;
}

bool RowFileTests::mesh_exists(UnitDirectory& directory, std::string_view file) {
  const bool kept = directory.record != DirectoryRecords::kNone;
  if (kept) {
    const int answer = directories_.mesh_answer(directory.record, file);
    if (answer >= 0) return answer != 0;
  }
  // The unit's directory as its own test named it, then the shared folder.
  bool answer = false;
  if (kept) {
    build_directory_path(directories_.directory(directory.record));
  } else if (unkept_path_.size() + 1 + file.size() <= kLongestSystemPath) {
    path_ = unkept_path_;
  } else {
    path_.clear();  // too long to name a file: only meshes/ is asked
  }
  if (!path_.empty()) {
    path_.append("/");
    path_.append(file);
    convert_separators(path_);
    answer = shared_.exists(path_);
  }
  if (!answer) {
    build_path(path_, data_directory_, "meshes/", file);
    convert_separators(path_);
    answer = shared_.exists(path_);
  }
  if (kept && file.size() <= kLongestListedName)
    directories_.add_mesh(directory.record, file, answer, kMeshesPerDirectory);
  return answer;
}

bool RowFileTests::cockpit_exists(std::string_view cockpit) {
  // A path the system cannot name is no directory: neither built nor kept, so that a long cell
  // is held once, in its line.
  constexpr std::string_view kFolder = "cockpits/";
  if (data_directory_.size() + kFolder.size() + cockpit.size() > kLongestSystemPath) return false;
  if (const bool* answer = cockpits_.find(cockpit)) return *answer;
  // Cockpit paths keep their backslashes, as they always have.
  build_path(path_, data_directory_, kFolder, cockpit);
  const bool answer = shared_.is_directory(path_);
  if (cockpits_.size() >= max_entries_) cockpits_.clear();
  cockpits_.insert(cockpit, answer);
  return answer;
}

}  // namespace unitcheck
