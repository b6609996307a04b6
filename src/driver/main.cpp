// unitcheck [DATADIR]: validates the unit database of the game's data directory.
#include "driver/invocation.h"
#include "driver/run.h"
#include "platform/console.h"
#include "platform/ordered_work.h"
#include "platform/own_stack.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  unitcheck::use_binary_standard_streams();
  unitcheck::Invocation invocation;
  if (argc > 1) invocation.first_argument = argv[1];
  invocation.home = unitcheck::home_folder();
  invocation.worker_threads = unitcheck::checking_threads();
  return unitcheck::run_on_own_stack([&invocation] {
    unitcheck::Console console = unitcheck::Console::standard_output();
    return unitcheck::run_program(console, invocation);
  });
}
