#include <unistd.h>

#include "support/os_pipe.h"

namespace unitcheck::testing {

bool make_os_pipe(int (&fds)[2]) { return ::pipe(fds) == 0; }

bool write_to_fd(int fd, std::string_view bytes) {
  return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

void close_fd(int fd) { ::close(fd); }

}  // namespace unitcheck::testing
