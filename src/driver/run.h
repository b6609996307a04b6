#pragma once

#include <string>

#include "driver/invocation.h"
#include "platform/console.h"
#include "tables/max_lengths.h"
#include "tables/schemas.h"
#include "validate/category_list.h"

namespace unitcheck {

// The state that the stages of one run share, alive from the start of the run to its end.
struct Run {
  explicit Run(Console& out) : console(out) {}
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  Console& console;
  CategoryList category_list;
  Tables tables;
  std::string data_directory;  // ends with a slash; empty when none was found
  MaxLengths max_lengths;
  unsigned worker_threads = 0;  // beside the starting thread, for the unit lines
};

constexpr int kExitFailure = 217;

// Runs the stages in order and returns the exit status: 0 at a normal end, 217 after the
// failure report when a Failure ends the run or memory runs out (EOutOfMemory).
int run_program(Console& console, const Invocation& invocation);

}  // namespace unitcheck
