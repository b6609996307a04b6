#include <fcntl.h>
#include <io.h>

#include "support/os_pipe.h"

namespace unitcheck::testing {

bool make_os_pipe(int (&fds)[2]) { return ::_pipe(fds, 1 << 16, _O_BINARY) == 0; }

bool write_to_fd(int fd, std::string_view bytes) {
  return ::_write(fd, bytes.data(), static_cast<unsigned>(bytes.size())) ==
         static_cast<int>(bytes.size());
}

void close_fd(int fd) { ::_close(fd); }

}  // namespace unitcheck::testing
