#include "support/without_threads.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <system_error>
#include <thread>

namespace unitcheck::testing {

long process_status_kib(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string word;
  long kilobytes = 0;
  while (status >> word)
    if (word == key && status >> kilobytes) return kilobytes;
  return 0;
}

bool leave_no_room_for_threads() {
  const rlim_t limit = static_cast<rlim_t>(process_status_kib("VmSize:") * 1024) + (2 << 20);
  const rlimit address_space{limit, limit};
  if (setrlimit(RLIMIT_AS, &address_space) != 0) return false;
  try {
    std::thread([] {}).join();
    return false;
  } catch (const std::system_error&) {
    return true;
  }
}

int run_disabled_test_alone(const char* filter) {
  const std::string flag = std::string("--gtest_filter=") + filter;
  const pid_t child = fork();
  if (child == -1) return -1;
  if (child == 0) {
    execl("/proc/self/exe", "unitcheck_tests", "--gtest_also_run_disabled_tests", flag.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace unitcheck::testing
