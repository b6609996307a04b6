#pragma once

#include <cstdint>
#include <vector>

namespace unitcheck {

// The return addresses on the call stack of the caller, innermost first (possibly none).
std::vector<std::uintptr_t> capture_return_addresses();

}  // namespace unitcheck
