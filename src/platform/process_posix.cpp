#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/process.h"

namespace unitcheck {

void use_binary_standard_streams() {}

void ignore_broken_pipe_signal() {
  ::signal(SIGPIPE, SIG_IGN);
}

std::optional<std::string> environment_variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> home_folder() {
  return environment_variable("HOME");
}

bool standard_output_is_color_terminal() {
  return ::isatty(STDOUT_FILENO) == 1;
}

bool console_closes_at_exit() {
  return false;
}

void wait_for_key() {}

}  // namespace unitcheck
