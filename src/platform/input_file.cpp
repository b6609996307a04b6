#include "platform/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/failure.h"

namespace unitcheck {

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  if (path_.find('\0') == std::string::npos) fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) fail();
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
