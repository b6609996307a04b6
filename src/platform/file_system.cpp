#include "platform/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

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

bool is_directory(const std::string& path) {
  struct stat info {};
  return is_representable(path) && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace unitcheck
