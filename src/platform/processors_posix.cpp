#include <sched.h>

#include <algorithm>
#include <thread>

#include "platform/ordered_work.h"

namespace unitcheck {

unsigned usable_processors() {
#ifdef __linux__
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
    return static_cast<unsigned>(CPU_COUNT(&set));
#endif
  // sched_getaffinity is Linux's: elsewhere every processor the system has.
  return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace unitcheck
