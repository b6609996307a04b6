#pragma once

#include <optional>
#include <string>

namespace unitcheck {

// What the process was started with: its first argument, the HOME variable if any, and the
// threads it may use.
struct Invocation {
  std::optional<std::string> first_argument;
  std::optional<std::string> home;
  // Threads that check unit lines while the starting thread reads and writes; with none, the
  // starting thread does everything.
  unsigned worker_threads = 0;
};

}  // namespace unitcheck
