#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

// How the walk to a name beneath the data directory treats symbolic links on its way.
enum class Links {
  // Followed only where they stay beneath the directory: a link (or "..") that leads out of it
  // opens nothing, as if the entry were not there.
  Beneath,
  // Followed wherever they lead, as a plain open does (unitlint's --follow-links).
  Anywhere,
};

// A file opened beneath a data directory, not yet read: the system's handle, owned. InputFile
// takes it over; a default one holds nothing.
class OpenedFile {
 public:
  OpenedFile() = default;
  explicit OpenedFile(std::intptr_t handle) : handle_(handle) {}
  OpenedFile(OpenedFile&& other) noexcept : handle_(other.release()) {}
  OpenedFile& operator=(OpenedFile&& other) noexcept;
  ~OpenedFile();

  bool is_open() const { return handle_ != kNone; }
  // Gives the handle up to the caller, who closes it.
  std::intptr_t release() {
    const std::intptr_t handle = handle_;
    handle_ = kNone;
    return handle;
  }

  static constexpr std::intptr_t kNone = -1;

 private:
  std::intptr_t handle_ = kNone;
};

// What an entry beneath the directory is, links followed as the walk allows.
enum class EntryKind { Missing, Directory, Other };

// A data directory held open for the run. Every data file and folder under it is reached from
// this handle by a walk that cannot leave it, whatever a second process swaps on the way: a
// test of a name and the read that follows can no longer be told apart by a link put in
// between, since there is no second lookup of the name. The directory's own path (and the
// links in it) is taken as given, once, when it is opened.
class BeneathDirectory {
 public:
  // Holds nothing: every open fails, every listing is empty.
  BeneathDirectory() = default;
  // Opens the directory at path ("" is the current one). is_open() tells whether it could be.
  explicit BeneathDirectory(const std::string& path);
  BeneathDirectory(BeneathDirectory&& other) noexcept;
  BeneathDirectory& operator=(BeneathDirectory&& other) noexcept;
  BeneathDirectory(const BeneathDirectory&) = delete;
  BeneathDirectory& operator=(const BeneathDirectory&) = delete;
  ~BeneathDirectory();

  bool is_open() const { return handle_ != OpenedFile::kNone; }
  // The directory's real path (absolute, without links or dots), read from the opened handle,
  // not from its name; empty when it cannot be told.
  const std::string& real_path() const { return real_path_; }

  // Opens the file at relative (slash-separated, under the directory) for reading. Nothing is
  // held when it cannot be opened, when a link on the way leads out (Links::Beneath), or when
  // it is a directory; the caller's open then fails as a missing file does.
  OpenedFile open_file(std::string_view relative, Links links = Links::Beneath) const;
  // The names of the folder's entries ("." and ".." left out), in the order the system lists
  // them; none when it cannot be listed or leads out of the directory.
  std::vector<std::string> folder_entry_names(std::string_view relative,
                                              Links links = Links::Beneath) const;
  // What is at relative; Missing also when it cannot be reached beneath the directory.
  EntryKind entry_kind(std::string_view relative, Links links = Links::Beneath) const;

 private:
  std::intptr_t handle_ = OpenedFile::kNone;
  std::string real_path_;
};

// The path under directory of path, which names a place beneath it by plain concatenation
// (directory, ending in a slash, followed by the rest); nothing when path does not begin with
// directory or climbs out of it by "..".
bool relative_beneath(std::string_view directory, std::string_view path, std::string_view& rest);

}  // namespace unitcheck
