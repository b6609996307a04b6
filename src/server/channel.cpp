#include "server/channel.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace unitcheck::server {

std::size_t FdSource::read(std::span<char> buffer) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd wait{fd_, POLLIN, 0};
      ::poll(&wait, 1, -1);
      continue;
    }
    return 0;
  }
}

bool FdSink::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(put));
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    // A non-blocking pipe that is full: wait until the reader takes some.
    if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd wait{fd_, POLLOUT, 0};
      ::poll(&wait, 1, -1);
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace unitcheck::server
