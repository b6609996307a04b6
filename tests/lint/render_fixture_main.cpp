// unitlint's command line over the sample findings instead of the core's checks: the output
// formats end to end, for the tests that read them with other programs (a SARIF validator, a
// JSON parser). The sample findings are rendered on four threads.
#include <unistd.h>

#include <cstdio>

#include "lint/command_line.h"
#include "lint/output.h"
#include "lint/run_lint.h"
#include "support/lint_fixture.h"

int main(int argc, char** argv) {
  using namespace unitcheck::lint;
  const CommandLine line = parse_command_line(argc, argv);
  FileOutput out(stdout);
  FileOutput err(stderr);
  unitcheck::testing::FixtureCheck check(unitcheck::testing::sample_findings(), 4);
  return run_command_line(line, {out, err, false, nullptr}, check);
}
