#include "driver/run.h"

#include <memory>
#include <new>

#include "driver/data_directory.h"
#include "driver/failure_report.h"
#include "platform/failure.h"
#include "validate/run_parser.h"

namespace unitcheck {

namespace {

void run_stages(Run& run, const Invocation& invocation) {
  create_tables(run.tables);
  find_data_directory(run, invocation);
  if (!run.data_directory.empty()) run_parser(run);
  print_max_field_lengths(run.max_lengths, run.console);
}

}  // namespace

int run_program(Console& console, const Invocation& invocation) {
  try {
    auto run = std::make_unique<Run>(console);
    run->worker_threads = invocation.worker_threads;
    run_stages(*run, invocation);
    run.reset();
    console.flush();
    return 0;
  } catch (const Failure& failure) {
    // The run's state is released on the way out; then the report is written.
    report_failure(failure, console);
    return kExitFailure;
  } catch (const std::bad_alloc&) {
    // Input too large for the memory at hand ends the run like any other failure, not with an
    // abort; the run's state is already released, so the report has room to be written.
    report_failure(Failure("EOutOfMemory", "Out of memory"), console);
    return kExitFailure;
  }
}

}  // namespace unitcheck
