#include <windows.h>

#include "platform/return_addresses.h"

namespace unitcheck {

std::vector<std::uintptr_t> capture_return_addresses() {
  constexpr DWORD kMaxFrames = 32;
  void* frames[kMaxFrames];
  // The first two frames are this function and the Failure constructor: neither says where it
  // failed.
  const USHORT count = ::RtlCaptureStackBackTrace(2, kMaxFrames - 2, frames, nullptr);
  std::vector<std::uintptr_t> addresses;
  for (USHORT i = 0; i < count; ++i)
    addresses.push_back(reinterpret_cast<std::uintptr_t>(frames[i]));
  return addresses;
}

}  // namespace unitcheck
