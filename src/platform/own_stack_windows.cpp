#include "platform/own_stack.h"

namespace unitcheck {

// A Windows program's main stack is as large as its executable says (the build reserves 8 MiB:
// see CMakeLists.txt), whatever started it: the run needs no stack of its own.
int run_on_own_stack(std::size_t, int (*body)(void*), void* context) {
  return body(context);
}

}  // namespace unitcheck
