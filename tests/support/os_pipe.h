#pragma once

#include <string_view>

namespace unitcheck::testing {

// A pipe of the operating system, as two C library descriptors carrying bytes as they are:
// fds[0] reads, fds[1] writes. False when none could be made.
bool make_os_pipe(int (&fds)[2]);
// Writes every byte to the descriptor; false when it cannot.
bool write_to_fd(int fd, std::string_view bytes);
void close_fd(int fd);

}  // namespace unitcheck::testing
