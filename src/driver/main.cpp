// unitcheck [DATADIR]: validates the unit database of the game's data directory.
#include <algorithm>
#include <cstdlib>

#include "driver/invocation.h"
#include "driver/run.h"
#include "platform/console.h"
#include "platform/ordered_work.h"

int main(int argc, char** argv) {
  unitcheck::Invocation invocation;
  if (argc > 1) invocation.first_argument = argv[1];
  if (const char* home = std::getenv("HOME")) invocation.home = home;
  // One checking thread per processor; the starting thread mostly waits on reads and writes.
  // Past eight, reading one file is the limit.
  const unsigned processors = unitcheck::usable_processors();
  invocation.worker_threads = processors > 1 ? std::min(processors, 8u) : 0;
  unitcheck::Console console = unitcheck::Console::standard_output();
  return unitcheck::run_program(console, invocation);
}
