#include "platform/console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/failure.h"

namespace unitcheck {

namespace {

// A descriptor that its opener made non-blocking (a pipe from a parent that reads slowly) says
// "try again" when it is full: that is no refusal, so wait until it takes bytes again. A hang-up
// or an error on it is left for the next write to report. False, with errno set, when even the
// wait fails.
bool wait_until_writable(int fd) {
  pollfd entry{fd, POLLOUT, 0};
  for (;;) {
    if (::poll(&entry, 1, -1) >= 0) return true;
    if (errno != EINTR && errno != EAGAIN) return false;
  }
}

}  // namespace

Console Console::standard_output() {
  Console console(STDOUT_FILENO, isatty(STDOUT_FILENO) == 1);
  console.buffer_.reserve(kBufferLimit);
  return console;
}

void Console::write_out(std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && wait_until_writable(fd_)) continue;
    if (n <= 0) {
      const std::string reason = n < 0 ? std::strerror(errno) : "nothing written";
      throw Failure("EInOutError", "Write error on standard output: " + reason);
    }
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace unitcheck
