#include "platform/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace unitcheck {

namespace {

// A path holding a zero byte names nothing: the system would see only the text before it.
bool is_representable(const std::string& path) {
  return path.find('\0') == std::string::npos;
}

}  // namespace

void convert_separators(std::string& path) {
  for (char& c : path)
    if (c == '\\') c = '/';
}

bool exists(const std::string& path) {
  return is_representable(path) && ::access(path.c_str(), F_OK) == 0;
}

Existence test_existence(const std::string& path) {
  if (!is_representable(path)) return Existence::Missing;
  if (::access(path.c_str(), F_OK) == 0) return Existence::Present;
  return errno == ENOENT || errno == ENOTDIR ? Existence::Missing : Existence::Untestable;
}

bool is_directory(const std::string& path) {
  struct stat info {};
  return is_representable(path) && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> folder_entry_names(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(folder);
  return names;
}

}  // namespace unitcheck
