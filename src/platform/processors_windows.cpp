#include <windows.h>

#include <algorithm>
#include <bit>
#include <thread>

#include "platform/ordered_work.h"

namespace unitcheck {

unsigned usable_processors() {
  // The affinity mask covers the process's processor group, 64 processors at most.
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) && process != 0)
    return static_cast<unsigned>(std::popcount(static_cast<unsigned long long>(process)));
  return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace unitcheck
