#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>

namespace unitcheck {

namespace {

// A path holding a zero byte names nothing: the system would see only the text before it.
bool is_representable(const std::string& path) {
  return path.find('\0') == std::string::npos;
}

}  // namespace

bool exists(const std::string& path) {
  return is_representable(path) && !is_too_long_to_name(path) && ::access(path.c_str(), F_OK) == 0;
}

Existence test_existence(const std::string& path) {
  if (!is_representable(path)) return Existence::Missing;
  if (::access(path.c_str(), F_OK) == 0) return Existence::Present;
  return errno == ENOENT || errno == ENOTDIR ? Existence::Missing : Existence::Untestable;
}

bool is_directory(const std::string& path) {
  struct stat info {};
  return is_representable(path) && !is_too_long_to_name(path) && ::stat(path.c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode);
}

namespace {

// Calls on_entry(name, type) for each entry of the folder but "." and "..", type as getdents64
// gives it (DT_UNKNOWN where the file system does not tell).
template <class OnEntry>
void for_each_folder_entry(const std::string& path, OnEntry&& on_entry) {
  if (!is_representable(path)) return;
#ifdef __linux__
  // Read with getdents64 into a buffer of our own: opendir would add a stat and a larger
  // buffer, and unitlint lists a folder for every unit directory with a file missing.
  const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  constexpr std::size_t kBufferSize = 8192;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
  for (;;) {
    const ssize_t filled = ::getdents64(folder, buffer.get(), kBufferSize);
    if (filled <= 0) break;
    for (ssize_t at = 0; at < filled;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer.get() + at);
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") on_entry(name, entry->d_type);
      at += entry->d_reclen;
    }
  }
  ::close(folder);
#else
  // getdents64 is Linux's own: elsewhere readdir, whose d_type most systems fill in too.
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") on_entry(name, entry->d_type);
  }
  ::closedir(folder);
#endif
}

}  // namespace

std::string path_from_user(std::string_view path) { return std::string(path); }

std::string lexically_normal_path(std::string_view path) {
  return std::filesystem::path(path).lexically_normal().native();
}

std::vector<std::string> folder_entry_names(const std::string& path) {
  std::vector<std::string> names;
  for_each_folder_entry(path,
                        [&](std::string_view name, unsigned char) { names.emplace_back(name); });
  return names;
}

std::vector<std::string> maybe_link_names(const std::string& path) {
  std::vector<std::string> names;
  for_each_folder_entry(path, [&](std::string_view name, unsigned char type) {
    if (type == DT_LNK || type == DT_UNKNOWN) names.emplace_back(name);
  });
  return names;
}

std::string real_path(const std::string& path) {
  if (!is_representable(path)) return {};
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  return real != nullptr ? std::string(real.get()) : std::string();
}

std::string why_not_readable(const std::string& path) {
  if (!is_representable(path)) return std::strerror(ENOENT);
  // O_NONBLOCK: a FIFO must not hang the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::strerror(errno);
  struct stat status {};
  const bool stated = ::fstat(fd, &status) == 0;
  const int stat_error = errno;
  ::close(fd);
  if (!stated) return std::strerror(stat_error);
  if (S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(status.st_mode)) return "Not a regular file";
  return {};
}

LinkState link_state(const std::string& path) {
  struct stat status {};
  if (!is_representable(path) || ::lstat(path.c_str(), &status) != 0) return LinkState::Missing;
  return S_ISLNK(status.st_mode) ? LinkState::Link : LinkState::Entry;
}

}  // namespace unitcheck
