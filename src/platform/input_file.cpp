#include "platform/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/failure.h"

namespace unitcheck {

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  // O_NONBLOCK keeps a FIFO without a writer from blocking the open; it changes nothing for
  // the reads of a regular file, the only kind that is read.
  if (path_.find('\0') == std::string::npos)
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) fail();
  // A directory, FIFO or device is no data file: /dev/zero would never end a line.
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);  // no destructor runs for a constructor that throws
    fd_ = -1;
    fail();
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) fail();
  }
}

void InputFile::fail() const {
  throw Failure("EFOpenError", "Unable to open file \"" + path_ + "\"");
}

}  // namespace unitcheck
