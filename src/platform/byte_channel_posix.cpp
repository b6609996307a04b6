#include "platform/byte_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace unitcheck {
namespace {

// Without a wake pipe, a wait looks at the flag this often.
constexpr int kWakeCheckMs = 100;
constexpr int kPipeBytes = 1 << 20;

bool make_wake_pipe(int (&ends)[2]) {
#ifdef __linux__
  return ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0;
#else
  // pipe2 is not POSIX before its 2024 edition: the flags are set one call at a time.
  if (::pipe(ends) != 0) return false;
  for (const int end : ends) {
    ::fcntl(end, F_SETFD, FD_CLOEXEC);
    ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
  }
  return true;
#endif
}

}  // namespace

FdSource::FdSource(int fd) : fd_(fd) {
  // A pipe holds 64 KiB by default: a document of tens of megabytes would cross it in a
  // thousand turns of the writer and the reader. A larger pipe (the most an unprivileged
  // process may ask for; a failure, or a descriptor that is no pipe, changes nothing) lets
  // each read take more.
#ifdef F_SETPIPE_SZ
  ::fcntl(fd_, F_SETPIPE_SZ, kPipeBytes);  // Linux's own; elsewhere a pipe keeps its size
#endif
  int ends[2];
  if (make_wake_pipe(ends)) {
    wake_[0] = ends[0];
    wake_[1] = ends[1];
  }
}

FdSource::~FdSource() {
  for (const std::intptr_t end : wake_) {
    if (end >= 0) ::close(static_cast<int>(end));
  }
}

void FdSource::interrupt() {
  interrupted_ = true;
  if (wake_[1] >= 0) {
    const char byte = 0;
    // A full pipe already wakes the reader: the result does not matter.
    [[maybe_unused]] const ssize_t put = ::write(static_cast<int>(wake_[1]), &byte, 1);
  }
}

std::size_t FdSource::read(std::span<char> buffer) {
  for (;;) {
    if (interrupted_) return 0;
    pollfd wait[2] = {{fd_, POLLIN, 0}, {static_cast<int>(wake_[0]), POLLIN, 0}};
    const int ready = ::poll(wait, wake_[0] >= 0 ? 2 : 1, wake_[0] >= 0 ? -1 : kWakeCheckMs);
    if (ready < 0 && errno != EINTR) return 0;
    if (ready <= 0 || wait[0].revents == 0) continue;
    const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return 0;
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

}  // namespace unitcheck
