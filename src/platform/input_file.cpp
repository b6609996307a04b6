#include "platform/input_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
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

// Whether the open file lies on a file system that stores data: neither a kernel one nor one
// that cannot be told.
bool on_data_file_system(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  const auto type = static_cast<unsigned long>(info.f_type);
  return std::find(kKernelFileSystems.begin(), kKernelFileSystems.end(), type) ==
         kKernelFileSystems.end();
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  // O_NONBLOCK keeps a FIFO without a writer from blocking the open; it changes nothing for
  // the reads of a regular file, the only kind that is read.
  if (path_.find('\0') == std::string::npos)
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  take_opened();
}

InputFile::InputFile(std::string path, OpenedFile file)
    : path_(std::move(path)), fd_(static_cast<int>(file.release())) {
  take_opened();
}

void InputFile::take_opened() {
  if (fd_ < 0) fail();
  // A directory, FIFO or device is no data file: /dev/zero would never end a line. Nor is a
  // file that the kernel makes up.
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || !on_data_file_system(fd_)) {
    ::close(fd_);  // no destructor runs for a constructor that throws
    fd_ = -1;
    fail();
  }
  size_ = static_cast<std::size_t>(info.st_size);
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) {
      offset_ += static_cast<std::size_t>(n);
      return static_cast<std::size_t>(n);
    }
    if (errno != EINTR) fail();
  }
}

std::string read_whole_file(std::string path) {
  InputFile file(std::move(path));
  return read_whole_file(file);
}

std::string read_whole_file(InputFile& file) {
  // One byte more than the size, so that the read that finds the end needs no growth; a file
  // that grows while it is read grows the text.
  std::string text(file.size_when_opened() + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == text.size()) text.resize(text.size() * 2);
    const std::size_t count = file.read(text.data() + used, text.size() - used);
    if (count == 0) break;
    used += count;
  }
  text.resize(used);
  return text;
}

void InputFile::fail() const {
  throw Failure("EFOpenError", "Unable to open file \"" + path_ + "\"");
}

}  // namespace unitcheck
