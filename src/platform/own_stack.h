#pragma once

#include <cstddef>
#include <type_traits>

namespace unitcheck {

// The stack a run gets whatever the limit of the process's stack (ulimit -s).
inline constexpr std::size_t kRunStackBytes = std::size_t{1} << 20;

// Runs body on a stack of stack_bytes of its own, on the calling thread, and returns what it
// returns. The process's stack is as small as the limit the run was started with, and the C
// library binds some of its own calls only when they are first made (a new thread's memory, for
// one): made deep in a run, such a lookup overflowed a stack of 16 KiB. Here the only frames on
// that stack are main's. The same thread goes on, so that the run keeps its memory arena (a
// thread of its own would reserve another 64 MiB of address space). When the stack cannot be
// made, and in sanitizer builds (whose runtimes do not follow a switch of stacks), body runs on
// the caller's stack.
int run_on_own_stack(std::size_t stack_bytes, int (*body)(void*), void* context);

template <class Body>
int run_on_own_stack(Body&& body, std::size_t stack_bytes = kRunStackBytes) {
  using Callable = std::remove_reference_t<Body>;
  return run_on_own_stack(
      stack_bytes, [](void* context) { return (*static_cast<Callable*>(context))(); }, &body);
}

}  // namespace unitcheck
