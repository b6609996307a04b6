#pragma once

#include <cstdint>
#include <string>

#include "lint/command_line.h"
#include "lint/data_directory.h"
#include "lint/lint_writer.h"
#include "lint/output.h"

namespace unitcheck::lint {

// Where a run writes, and what it knows of its terminal.
struct LintIo {
  Output& out;
  Output& err;
  bool out_is_terminal = false;
  const char* no_color = nullptr;  // the value of NO_COLOR, null when unset
  // GITHUB_STEP_SUMMARY: the file a GitHub Actions step appends its Markdown summary to; null
  // when unset. The github format appends its summary there.
  const char* step_summary = nullptr;
};

// What the checks of a data directory return.
struct DataCheckResult {
  bool checked = false;   // the unit table was read to its end
  std::int64_t rows = 0;  // unit lines checked
  std::string failure;    // when not checked: why, one line, such as "cannot read 'x': ..."
};

// The checks of a data directory, as a run of unitlint calls them: the seam between unitlint
// and the core pipeline. check reads the directory's files, hands the unit table's header line
// (without its line end) to writer.check_header, offers its suggestions (a SuggestionSource)
// and the header's columns with writer.set_context before the rows are checked, and passes
// writer as the FindingWriter of the unit lines' checks: render on the checking threads, write
// in reading order. A Failure or running out of memory may end it; the run then reports the
// data as not checked.
class DataCheck {
 public:
  virtual DataCheckResult check(const DataDirectory& directory, LintWriter& writer) = 0;

 protected:
  ~DataCheck() = default;
};

// Carries out a parsed command line: help, version or bad usage end here; --schema prints the
// schema; otherwise the data directory is resolved and checked by data_check, and its findings
// reported in the chosen format. Returns the exit status (see exit_status.h).
int run_command_line(const CommandLine& line, const LintIo& io, DataCheck& data_check);

// The run after the command line: everything up to checking the data, the check, the report.
int run_lint(const LintOptions& options, const LintIo& io, DataCheck& data_check);

}  // namespace unitcheck::lint
