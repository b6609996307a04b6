#include "lint/run_lint.h"

#include <cstring>
#include <new>

#include "lint/exit_status.h"
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
  const DataDirectoryResult resolved = resolve_data_directory(options.data_directory);
  if (!resolved.ok()) {
    io.err.write("unitlint: " + resolved.error + "\n");
    return kExitCannotCheck;
  }
  const DataDirectory& directory = resolved.directory;
  if (!options.follow_links) {
    if (const std::string outside = data_outside_directory(directory); !outside.empty()) {
      io.err.write("unitlint: " + outside + "\n");
      return kExitCannotCheck;
    }
  }
  const auto format =
      make_format(options.format, use_color(options.color, io.out_is_terminal, io.no_color));
  LintWriter writer(*format, io.out, {directory.unit_table(), directory.part_list()});
  writer.begin();
  // The core pipeline's findings flow into the writer here.
  const DataCheckResult result = checked_data(data_check, directory, writer);
  writer.finish(result.rows, result.checked);
  if (!result.checked) io.err.write("unitlint: " + result.failure + "\n");
  return settle_output(io, exit_status(writer.counts(), options.strict, result.checked));
}

}  // namespace unitcheck::lint
