#include "platform/return_addresses.h"

#include <execinfo.h>

namespace unitcheck {

std::vector<std::uintptr_t> capture_return_addresses() {
  constexpr int kMaxFrames = 32;
  void* frames[kMaxFrames];
  const int count = backtrace(frames, kMaxFrames);
  std::vector<std::uintptr_t> addresses;
  // Frame 0 is this function and frame 1 the Failure constructor: neither says where it failed.
  for (int i = 2; i < count; ++i) addresses.push_back(reinterpret_cast<std::uintptr_t>(frames[i]));
  return addresses;
}

}  // namespace unitcheck
