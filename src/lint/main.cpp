// unitlint [OPTIONS] [DATADIR]: checks the unit database of a game data directory and reports
// each fault for editors and CI.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "lint/command_line.h"
#include "lint/core_data_check.h"
#include "lint/output.h"
#include "lint/run_lint.h"
#include "platform/own_stack.h"

int main(int argc, char** argv) {
  using namespace unitcheck::lint;
  return unitcheck::run_on_own_stack([argc, argv] {
    const CommandLine line = parse_command_line(argc, argv);
    FileOutput out(stdout);
    FileOutput err(stderr);
    const LintIo io{out, err, ::isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"),
                    std::getenv("GITHUB_STEP_SUMMARY")};
    CoreDataCheck data_check;
    return run_command_line(line, io, data_check);
  });
}
