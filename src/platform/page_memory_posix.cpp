#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/page_memory.h"

namespace unitcheck {
namespace {

#if defined(__linux__) && !defined(MADV_POPULATE_WRITE)
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older headers lack the name
#endif

std::uintptr_t page_size() {
  static const auto size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

bool populate_for_writing(char* begin, char* end) {
#ifdef MADV_POPULATE_WRITE
  const std::uintptr_t page = page_size();
  const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
  const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(end) & ~(page - 1);
  if (last <= first) return true;
  // Memory the kernel cannot make (EFAULT, ENOMEM) is left for the writer's own faults.
  return ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE) == 0 ||
         errno != EINVAL;
#else
  // madvise's MADV_POPULATE_WRITE is Linux's: elsewhere the writer takes its own faults.
  (void)begin;
  (void)end;
  (void)page_size;
  return false;
#endif
}

}  // namespace unitcheck
