#include "platform/page_memory.h"

namespace unitcheck {

// Windows has no call that makes fresh pages ready for writing without touching them: the
// writer takes its own faults, and the page warmer does nothing.
bool populate_for_writing(char*, char*) {
  return false;
}

}  // namespace unitcheck
