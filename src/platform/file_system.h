#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

// Paths are UTF-8 bytes in the programs, on every system: Windows is handed UTF-16 at its edge.

// A path given by the user as the programs hold it: on Windows, where a backslash separates
// names as a slash does, every backslash becomes a slash; elsewhere, where it is a character of
// a name, the path stays as it is.
std::string path_from_user(std::string_view path);

// Makes every backslash of a path a slash, in place.
void convert_separators(std::string& path);

// The system names nothing by a path of this many bytes or more (ENAMETOOLONG): exists and
// is_directory answer false for one without asking, and a cache need not keep it.
#ifdef _WIN32
// 32,767 UTF-16 units, which no more than three bytes of UTF-8 each make.
inline constexpr std::size_t kLongestSystemPath = 32767 * 3;
#else
inline constexpr std::size_t kLongestSystemPath = 4095;
#endif
inline bool is_too_long_to_name(std::string_view path) {
  return path.size() > kLongestSystemPath;
}

// True for any existing entry, a directory included, following symbolic links.
bool exists(const std::string& path);

// What an existence test found. Missing is a clear "no such entry" (ENOENT, ENOTDIR);
// Untestable is a test that could not be made (EACCES, ELOOP, ENAMETOOLONG, EIO, ...), which
// says nothing about whether the entry is there.
enum class Existence { Present, Missing, Untestable };
// The existence test of exists(), telling a missing entry from one that cannot be tested.
Existence test_existence(const std::string& path);
// True when the path, following symbolic links, names a directory.
bool is_directory(const std::string& path);
// The names of a folder's entries ("." and ".." left out), in the order the system lists them;
// none when it cannot be listed.
std::vector<std::string> folder_entry_names(const std::string& path);
// The names of the folder's entries that are, or may be, symbolic links: those the folder says
// are, and those whose type it does not tell. One listing answers for every entry.
std::vector<std::string> maybe_link_names(const std::string& path);

// The path with "." and ".." worked out from its text alone and doubled slashes made one, as
// std::filesystem::path::lexically_normal does: links are not followed.
std::string lexically_normal_path(std::string_view path);

// Why the path does not open for reading as a regular file, in the system's words ("No such
// file or directory", "Is a directory", "Not a regular file"); empty when it does. Nothing is
// read, and a FIFO does not hang the test.
std::string why_not_readable(const std::string& path);

// The path with every link followed, as realpath(3) resolves it (on Windows, the final path of
// the opened entry, with a drive letter or \\server\share and slashes); empty when it cannot
// be resolved.
std::string real_path(const std::string& path);
// Whether real (an absolute path without links, dots or doubled slashes) is root or lies under
// it.
bool lies_under(std::string_view real, std::string_view root);
// What is at path, its last name not followed: nothing (or nothing testable), a symbolic link,
// or another entry.
enum class LinkState { Missing, Link, Entry };
LinkState link_state(const std::string& path);

}  // namespace unitcheck
