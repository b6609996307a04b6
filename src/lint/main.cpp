// unitlint [OPTIONS] [DATADIR]: checks the unit database of a game data directory and reports
// each fault for editors and CI.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "lint/command_line.h"
#include "lint/core_data_check.h"
#include "lint/output.h"
#include "lint/run_lint.h"
#include "platform/own_stack.h"
#include "server/channel.h"
#include "server/core_document_checks.h"
#include "server/language_server.h"

int main(int argc, char** argv) {
  using namespace unitcheck::lint;
  return unitcheck::run_on_own_stack([argc, argv] {
    const CommandLine line = parse_command_line(argc, argv);
    if (line.options.language_server && !line.exit_status) {
      // A client that goes away must end the server through a failed write, not a signal.
      ::signal(SIGPIPE, SIG_IGN);
      unitcheck::server::FdSource input(STDIN_FILENO);
      unitcheck::server::FdSink output(STDOUT_FILENO);
      unitcheck::server::FdSink log(STDERR_FILENO);
      unitcheck::server::CoreDocumentChecks checks;
      return unitcheck::server::run_language_server(input, output, log, checks);
    }
    FileOutput out(stdout);
    FileOutput err(stderr);
    const LintIo io{out, err, ::isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"),
                    std::getenv("GITHUB_STEP_SUMMARY")};
    CoreDataCheck data_check;
    return run_command_line(line, io, data_check);
  });
}
