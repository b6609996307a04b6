#include "platform/own_stack.h"

#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdint>

#ifndef MAP_STACK
#define MAP_STACK 0  // a hint that Linux and the BSDs take; macOS has no such flag
#endif

namespace unitcheck {

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSwitchStacks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSwitchStacks = false;
#else
constexpr bool kSwitchStacks = true;
#endif
#else
constexpr bool kSwitchStacks = true;
#endif

struct Call {
  int (*body)(void*);
  void* context;
  int result = 0;
};

// makecontext passes int arguments only: the call's address in two halves.
void call_body(unsigned high, unsigned low) {
  const auto address = (static_cast<std::uintptr_t>(high) << 32) | low;
  auto* call = reinterpret_cast<Call*>(address);
  call->result = call->body(call->context);
}

}  // namespace

int run_on_own_stack(std::size_t stack_bytes, int (*body)(void*), void* context) {
  if (!kSwitchStacks) return body(context);
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t mapped = (stack_bytes + page - 1) / page * page + page;  // and a guard page
  void* memory = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (memory == MAP_FAILED) return body(context);
  ::mprotect(memory, page, PROT_NONE);  // an overflow faults rather than writes past it

  Call call{body, context};
  ucontext_t caller{};
  ucontext_t callee{};
  ::getcontext(&callee);
  callee.uc_stack.ss_sp = static_cast<char*>(memory) + page;
  callee.uc_stack.ss_size = mapped - page;
  callee.uc_link = &caller;
  const auto address = reinterpret_cast<std::uintptr_t>(&call);
  ::makecontext(&callee, reinterpret_cast<void (*)()>(&call_body), 2,
                static_cast<unsigned>(address >> 32), static_cast<unsigned>(address));
  ::swapcontext(&caller, &callee);
  ::munmap(memory, mapped);
  return call.result;
}

}  // namespace unitcheck
