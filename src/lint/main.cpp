// unitlint [OPTIONS] [DATADIR]: checks the unit database of a game data directory and reports
// each fault for editors and CI.
#include <cstdio>

#include "lint/command_line.h"
#include "lint/core_data_check.h"
#include "lint/output.h"
#include "lint/run_lint.h"
#include "platform/own_stack.h"
#include "platform/process.h"
#include "server/channel.h"
#include "server/core_document_checks.h"
#include "server/language_server.h"

namespace {

// Said to someone who double-clicked the program, whose window would otherwise close before
// they could read a word.
constexpr const char* kHowToRun =
    "\nunitlint checks a game data directory from a command line. Open PowerShell or a\n"
    "Command Prompt in the folder that holds unitlint.exe and run, for example:\n\n"
    "  .\\unitlint.exe C:\\Games\\data\n\n"
    "or pass --help to read every option.\n\nPress any key to close this window.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace unitcheck::lint;
  unitcheck::use_binary_standard_streams();
  if (argc <= 1 && unitcheck::console_closes_at_exit()) {
    std::fputs(kHowToRun, stderr);
    unitcheck::wait_for_key();
    return 2;
  }
  return unitcheck::run_on_own_stack([argc, argv] {
    const CommandLine line = parse_command_line(argc, argv);
    if (line.options.language_server && !line.exit_status) {
      unitcheck::ignore_broken_pipe_signal();
      unitcheck::server::FdSource input(0);
      unitcheck::server::FdSink output(1);
      unitcheck::server::FdSink log(2);
      unitcheck::server::CoreDocumentChecks checks;
      return unitcheck::server::run_language_server(input, output, log, checks);
    }
    FileOutput out(stdout);
    FileOutput err(stderr);
    const auto no_color = unitcheck::environment_variable("NO_COLOR");
    const auto summary = unitcheck::environment_variable("GITHUB_STEP_SUMMARY");
    const LintIo io{out, err, unitcheck::standard_output_is_color_terminal(),
                    no_color ? no_color->c_str() : nullptr, summary ? summary->c_str() : nullptr};
    CoreDataCheck data_check;
    return run_command_line(line, io, data_check);
  });
}
