// Opening beneath a data directory on Linux.
//
// The first choice is openat2(2) with RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS (Linux 5.6): the
// kernel walks the name from the directory's handle and refuses, with EXDEV or ELOOP, any step
// that would leave it, ".." or a link. Where the call is missing (ENOSYS), refused by a
// seccomp filter (EPERM) or given flags it does not know (EINVAL), the walk is ours: one
// openat(2) per name with O_NOFOLLOW, each from the handle of the folder before.
//
// Both refuse every absolute link and every "..", even one that comes back inside, which a
// data directory may well hold (units/ linked to /home/me/data/units). Such a name is then
// opened following its links as a path (O_PATH, which reads nothing and wakes no device), and
// kept only when the real path of what was opened, read from the descriptor in /proc, lies
// under the directory's; the file is then reopened through that descriptor. The test and the
// read are one object, so a swap between them changes nothing. Without /proc the name is
// refused.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#if __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#endif

#include "platform/beneath.h"
#include "platform/file_system.h"

namespace unitcheck {

namespace {

// A descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// The path of what fd is open on, as the kernel names it; empty without /proc.
std::string descriptor_path(int fd) {
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink(link.c_str(), path.data(), path.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      // An unlinked file or a name of another mount namespace is no path beneath anything.
      return path.starts_with('/') ? path : std::string();
    }
    path.resize(path.size() * 2);
  }
}

// openat2 with the beneath rules; -1 and ENOSYS where the headers do not know it.
int open_beneath_by_kernel(int directory, const char* name, int flags) {
#if defined(SYS_openat2) && defined(RESOLVE_BENEATH)
  struct open_how how {};
  how.flags = static_cast<std::uint64_t>(flags);
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  for (;;) {
    const long fd = ::syscall(SYS_openat2, directory, name, &how, sizeof how);
    if (fd >= 0 || errno != EINTR) return static_cast<int>(fd);
  }
#else
  (void)directory, (void)name, (void)flags;
  errno = ENOSYS;
  return -1;
#endif
}

// The walk without openat2: each name opened from the folder before it, O_NOFOLLOW. A link or
// ".." on the way ends it with EXDEV (the caller then tries the followed open); any other
// failure keeps the system's errno.
int open_beneath_by_walk(int directory, std::string_view relative, int flags) {
  Descriptor folder;  // the current folder, once the walk has left the directory itself
  const auto current = [&] { return folder.get() >= 0 ? folder.get() : directory; };
  std::string name;
  while (true) {
    while (relative.starts_with('/')) relative.remove_prefix(1);
    const std::size_t slash = relative.find('/');
    name.assign(relative.substr(0, slash));
    relative.remove_prefix(slash == std::string_view::npos ? relative.size() : slash);
    const bool last = relative.find_first_not_of('/') == std::string_view::npos;
    if (name == "..") {
      errno = EXDEV;
      return -1;
    }
    if (name.empty() || name == ".") {
      if (!last) continue;
      return ::openat(current(), ".", flags);
    }
    if (last) {
      // O_NOFOLLOW makes a link fail with ELOOP (ENOTDIR with O_DIRECTORY); O_PATH would
      // open the link itself.
      Descriptor opened(::openat(current(), name.c_str(), flags | O_NOFOLLOW));
      if (opened.get() < 0) {
        struct stat info {};
        if (errno == ELOOP ||
            (errno == ENOTDIR &&
             ::fstatat(current(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISLNK(info.st_mode)))
          errno = EXDEV;
        return -1;
      }
      struct stat info {};
      if ((flags & O_PATH) != 0 && ::fstat(opened.get(), &info) == 0 && S_ISLNK(info.st_mode)) {
        errno = EXDEV;
        return -1;
      }
      return opened.release();
    }
    Descriptor next(::openat(current(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (next.get() < 0) return -1;
    struct stat info {};
    if (::fstat(next.get(), &info) != 0) return -1;
    if (S_ISLNK(info.st_mode)) {
      errno = EXDEV;
      return -1;
    }
    if (!S_ISDIR(info.st_mode)) {
      errno = ENOTDIR;
      return -1;
    }
    folder.reset(next.release());
  }
}

// The name opened following its links as a path, kept when what it reached lies under
// real_root, then reopened with flags through its descriptor.
int open_checked_by_descriptor(int directory, const std::string& real_root, const char* name,
                               int flags) {
  Descriptor reached(::openat(directory, name, O_PATH | O_CLOEXEC));
  if (reached.get() < 0) return -1;
  const std::string real = descriptor_path(reached.get());
  if (real_root.empty() || real.empty() || !lies_under(real, real_root)) {
    errno = EXDEV;
    return -1;
  }
  if ((flags & O_PATH) != 0) return reached.release();
  const std::string self = "/proc/self/fd/" + std::to_string(reached.get());
  return ::open(self.c_str(), flags);
}

bool is_refused_by_kernel(int error) {
  return error == ENOSYS || error == EINVAL || error == EPERM;
}

}  // namespace

OpenedFile& OpenedFile::operator=(OpenedFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNone) ::close(static_cast<int>(handle_));
    handle_ = other.release();
  }
  return *this;
}

OpenedFile::~OpenedFile() {
  if (handle_ != kNone) ::close(static_cast<int>(handle_));
}

namespace {

// The descriptor of relative under directory, opened with flags, as links allows; -1 with
// errno set when it cannot be.
int open_under(int directory, const std::string& real_root, std::string_view relative, int flags,
               Links links) {
  if (directory < 0) {
    errno = EBADF;
    return -1;
  }
  const std::string name = relative.empty() ? std::string(".") : std::string(relative);
  if (name.find('\0') != std::string::npos || is_too_long_to_name(name)) {
    errno = ENOENT;
    return -1;
  }
  if (name.starts_with('/')) {  // no place beneath anything
    errno = EXDEV;
    return -1;
  }
  flags |= O_CLOEXEC;
  if (links == Links::Anywhere) return ::openat(directory, name.c_str(), flags);
  int fd = open_beneath_by_kernel(directory, name.c_str(), flags);
  if (fd < 0 && is_refused_by_kernel(errno)) fd = open_beneath_by_walk(directory, name, flags);
  if (fd >= 0 || (errno != EXDEV && errno != ELOOP)) return fd;
  return open_checked_by_descriptor(directory, real_root, name.c_str(), flags);
}

}  // namespace

BeneathDirectory::BeneathDirectory(const std::string& path) {
  if (path.find('\0') != std::string::npos) return;
  const int fd = ::open(path.empty() ? "." : path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  handle_ = fd;
  real_path_ = descriptor_path(fd);
  // Without /proc the name is resolved once more; links beneath then stay refused.
  if (real_path_.empty()) real_path_ = unitcheck::real_path(path.empty() ? "." : path);
}

BeneathDirectory::BeneathDirectory(BeneathDirectory&& other) noexcept
    : handle_(other.handle_), real_path_(std::move(other.real_path_)) {
  other.handle_ = OpenedFile::kNone;
}

BeneathDirectory& BeneathDirectory::operator=(BeneathDirectory&& other) noexcept {
  if (this != &other) {
    if (handle_ != OpenedFile::kNone) ::close(static_cast<int>(handle_));
    handle_ = other.handle_;
    real_path_ = std::move(other.real_path_);
    other.handle_ = OpenedFile::kNone;
  }
  return *this;
}

BeneathDirectory::~BeneathDirectory() {
  if (handle_ != OpenedFile::kNone) ::close(static_cast<int>(handle_));
}

OpenedFile BeneathDirectory::open_file(std::string_view relative, Links links) const {
  // O_NONBLOCK: a FIFO without a writer must not hang the open.
  const int fd = open_under(static_cast<int>(handle_), real_path_, relative,
                            O_RDONLY | O_NONBLOCK | O_NOCTTY, links);
  return OpenedFile(fd);
}

std::vector<std::string> BeneathDirectory::folder_entry_names(std::string_view relative,
                                                              Links links) const {
  std::vector<std::string> names;
  const Descriptor folder(
      open_under(static_cast<int>(handle_), real_path_, relative, O_RDONLY | O_DIRECTORY, links));
  if (folder.get() < 0) return names;
  constexpr std::size_t kBufferSize = 8192;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
  for (;;) {
    const ssize_t filled = ::getdents64(folder.get(), buffer.get(), kBufferSize);
    if (filled <= 0) break;
    for (ssize_t at = 0; at < filled;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer.get() + at);
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
      at += entry->d_reclen;
    }
  }
  return names;
}

EntryKind BeneathDirectory::entry_kind(std::string_view relative, Links links) const {
  struct stat info {};
  if (links == Links::Anywhere) {
    // One call, as the existence tests of a run's cells make thousands of them.
    const std::string name = relative.empty() ? std::string(".") : std::string(relative);
    if (handle_ == OpenedFile::kNone || name.starts_with('/') ||
        name.find('\0') != std::string::npos || is_too_long_to_name(name) ||
        ::fstatat(static_cast<int>(handle_), name.c_str(), &info, 0) != 0)
      return EntryKind::Missing;
    return S_ISDIR(info.st_mode) ? EntryKind::Directory : EntryKind::Other;
  }
  const Descriptor entry(
      open_under(static_cast<int>(handle_), real_path_, relative, O_PATH, links));
  if (entry.get() < 0 || ::fstat(entry.get(), &info) != 0) return EntryKind::Missing;
  return S_ISDIR(info.st_mode) ? EntryKind::Directory : EntryKind::Other;
}

}  // namespace unitcheck
