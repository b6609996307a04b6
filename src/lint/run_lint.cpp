#include "lint/run_lint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "lint/exit_status.h"
#include "lint/github_format.h"
#include "lint/html_report.h"
#include "lint/lint_messages.h"
#include "lint/schema_listing.h"
#include "platform/failure.h"

namespace unitcheck::lint {

namespace {

std::string schema_in(OutputFormat format) {
  if (format == OutputFormat::Json) return schema_json();
  if (format == OutputFormat::Markdown) return schema_markdown();
  return schema_text();
}

// The status, unless standard output refused the report: then 2, with the reason.
int settle_output(const LintIo& io, int status) {
  if (!io.out.failed()) return status;
  io.err.write("unitlint: cannot write the report: " +
               std::string(std::strerror(io.out.error_number())) + "\n");
  return kExitCannotCheck;
}

// The data check, with the failures that end it turned into a result.
DataCheckResult checked_data(DataCheck& data_check, const DataDirectory& directory,
                             LintWriter& writer) {
  try {
    return data_check.check(directory, writer);
  } catch (const Failure& failure) {
    return {false, 0, failure.message()};
  } catch (const std::bad_alloc&) {
    return {false, 0, "out of memory"};
  }
}

// The limits of the chosen format, or --max-findings in place of its own caps on errors and
// warnings (a SARIF log's bound on results stays).
ReportLimits limits_for(const LintOptions& options, const Format& format) {
  ReportLimits limits = format.default_limits();
  if (options.max_findings) {
    limits.total = std::min(limits.total, *options.max_findings);
    limits.errors = kUnlimited;
    limits.warnings = kUnlimited;
  }
  return limits;
}

// Appends the github format's Markdown summary to the step's summary file; a file that cannot
// be written is said on standard error and changes nothing else.
// The summary starts on a line of its own: after a file whose last line has no line end, one is
// written first.
void append_step_summary(const LintIo& io, const std::string& markdown) {
  // Opened once, to read its last byte and append: writes go to the end whatever was read.
  std::FILE* file = std::fopen(io.step_summary, "a+");
  bool line_open = false;
  if (file != nullptr) {
    line_open = std::fseek(file, -1, SEEK_END) == 0 && std::fgetc(file) != '\n';
    // Reading and writing take a seek between them.
    std::fseek(file, 0, SEEK_END);
  }
  bool written = file != nullptr && (!line_open || std::fputc('\n', file) == '\n') &&
                 std::fwrite(markdown.data(), 1, markdown.size(), file) == markdown.size();
  if (file != nullptr && std::fclose(file) != 0) written = false;
  if (!written)
    io.err.write("unitlint: cannot append to GITHUB_STEP_SUMMARY '" +
                 without_controls(io.step_summary) + "'\n");
}

}  // namespace

int run_command_line(const CommandLine& line, const LintIo& io, DataCheck& data_check) {
  if (!line.exit_status) return run_lint(line.options, io, data_check);
  io.out.write(line.out);
  io.err.write(line.err);
  return settle_output(io, *line.exit_status);
}

int run_lint(const LintOptions& options, const LintIo& io, DataCheck& data_check) {
  if (options.schema) {
    io.out.write(schema_in(options.format));
    return settle_output(io, kExitClean);
  }
  const auto format =
      make_format(options.format, use_color(options.color, io.out_is_terminal, io.no_color),
                  options.char_columns);
  const bool github = options.format == OutputFormat::Github;
  const bool step_summary = github && io.step_summary != nullptr && *io.step_summary != '\0';
  const DataDirectoryResult resolved = resolve_data_directory(options.data_directory);
  // The HTML page is laid out once every finding is in: the writer writes to it, and it to
  // standard output at the end.
  const bool html = options.format == OutputFormat::Html;
  HtmlReport html_report;
  Output& report_out = html ? static_cast<Output&>(html_report) : io.out;
  const PageFacts page_facts{resolved.directory.root(), resolved.directory.unit_table(),
                             resolved.directory.part_list(), options.char_columns};
  std::string refusal = resolved.error;
  // A data file that a link leads out of the directory could show any file in the report.
  if (refusal.empty() && !options.follow_links)
    refusal = data_outside_directory(resolved.directory);
  if (!refusal.empty()) {
    io.err.write("unitlint: " + refusal + "\n");
    // A machine reading the report gets a whole document that says why nothing was checked.
    if (options.format != OutputFormat::Text) {
      LintWriter writer(*format, report_out,
                        {resolved.directory.unit_table(), resolved.directory.part_list()});
      writer.begin();
      const Summary summary = writer.finish(0, false, refusal);
      if (html) io.out.write(html_report.page(summary, page_facts));
      if (step_summary) append_step_summary(io, step_summary_markdown(summary, {}));
    }
    return settle_output(io, kExitCannotCheck);
  }
  DataDirectory directory = resolved.directory;
  directory.follow_links = options.follow_links;
  LintWriter writer(*format, report_out, {directory.unit_table(), directory.part_list()},
                    limits_for(options, *format));
  if (step_summary) writer.keep_first_items(step_summary_item);
  writer.begin();
  // The core pipeline's findings flow into the writer here.
  const DataCheckResult result = checked_data(data_check, directory, writer);
  if (result.checked && result.rows == 0)
    writer.report(
        enrich_no_units_checked(writer.rule_counts()[static_cast<std::size_t>(Rule::EmptyKey)]));
  const Summary summary = writer.finish(result.rows, result.checked, result.failure);
  if (html) io.out.write(html_report.page(summary, page_facts));
  if (!result.checked) io.err.write("unitlint: " + result.failure + "\n");
  if (step_summary) append_step_summary(io, step_summary_markdown(summary, writer.first_items()));
  return settle_output(io, exit_status(writer.counts(), options.strict, result.checked));
}

}  // namespace unitcheck::lint
