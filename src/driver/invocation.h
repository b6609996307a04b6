#pragma once

#include <optional>
#include <string>

namespace unitcheck {

// What the process was started with: its first argument and the HOME variable, if any.
struct Invocation {
  std::optional<std::string> first_argument;
  std::optional<std::string> home;
};

}  // namespace unitcheck
