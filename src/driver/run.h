#pragma once

#include "driver/invocation.h"
#include "platform/console.h"

namespace unitcheck {

constexpr int kExitFailure = 217;

// Runs the stages in order and returns the exit status: 0 at a normal end, 217 after the
// failure report when a Failure ends the run or memory runs out (EOutOfMemory).
int run_program(Console& console, const Invocation& invocation);

}  // namespace unitcheck
