#include "platform/input_file.h"

#include <fcntl.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "platform/failure.h"

namespace unitcheck {

namespace {

// File systems whose files the kernel makes up when they are read: process state, settings,
// security policies. A link into one (units.csv pointing at /proc/self/environ) would have the
// transcript echo the job's environment, secrets included, into a CI log.
#ifdef __linux__
constexpr std::array<unsigned long, 15> kKernelFileSystems = {
    PROC_SUPER_MAGIC,
    SYSFS_MAGIC,
    DEBUGFS_MAGIC,
    TRACEFS_MAGIC,
    SECURITYFS_MAGIC,
    SELINUX_MAGIC,
    SMACK_MAGIC,
    CGROUP_SUPER_MAGIC,
    CGROUP2_SUPER_MAGIC,
    BPF_FS_MAGIC,
    EFIVARFS_MAGIC,
    PSTOREFS_MAGIC,
    BINFMTFS_MAGIC,
    0x62656570 /* configfs */,
    0x65735543 /* fusectl */,
};
#endif

// Whether the open file lies on a file system that stores data: neither a kernel one nor one
// that cannot be told.
bool on_data_file_system(int fd) {
#ifdef __linux__
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  const auto type = static_cast<unsigned long>(info.f_type);
  return std::find(kKernelFileSystems.begin(), kKernelFileSystems.end(), type) ==
         kKernelFileSystems.end();
#else
  // fstatfs and these magic numbers are Linux's: elsewhere the regular-file test alone holds
  // (macOS, for one, has no file system that makes up its files' text when they are read).
  (void)fd;
  return true;
#endif
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  // O_NONBLOCK keeps a FIFO without a writer from blocking the open; it changes nothing for
  // the reads of a regular file, the only kind that is read.
  if (path_.find('\0') == std::string::npos)
    handle_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  take_opened();
}

InputFile::InputFile(std::string path, OpenedFile file)
    : path_(std::move(path)), handle_(file.release()) {
  take_opened();
}

void InputFile::take_opened() {
  if (handle_ < 0) fail();
  const int fd = static_cast<int>(handle_);
  // A directory, FIFO or device is no data file: /dev/zero would never end a line. Nor is a
  // file that the kernel makes up.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !on_data_file_system(fd)) {
    ::close(fd);  // no destructor runs for a constructor that throws
    handle_ = -1;
    fail();
  }
  size_ = static_cast<std::size_t>(info.st_size);
}

InputFile::~InputFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) {
      offset_ += static_cast<std::size_t>(n);
      return static_cast<std::size_t>(n);
    }
    if (errno != EINTR) fail();
  }
}

}  // namespace unitcheck
