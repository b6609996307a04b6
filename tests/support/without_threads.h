#pragma once

namespace unitcheck::testing {

// A figure of /proc/self/status in KiB, such as "VmSize:" or "VmRSS:"; 0 when it is not there.
long process_status_kib(const char* key);

// Limits this process's address space to what it uses and 2 MiB more: no new thread finds room
// for its stack. True when no thread can start after it.
bool leave_no_room_for_threads();

// Runs the one disabled test that filter names in a fresh process of this test program (a
// process that has run threads keeps their stacks for new ones, and would start threads under
// any limit); its exit status, or -1 when it did not end by itself.
int run_disabled_test_alone(const char* filter);

}  // namespace unitcheck::testing
