#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "lint/format.h"

namespace unitcheck::lint {

// GitHub Actions workflow commands, one finding a line:
// ::error file=PATH,line=LINE,col=COL,title=RULE::MESSAGE (::warning for warnings); the summary
// line follows as plain text.
std::unique_ptr<Format> make_github_format();

// The Markdown summary of a run for a GitHub Actions step's summary: its counts, by rule, and
// first, the lines of the first findings written, each made by step_summary_item.
std::string step_summary_markdown(const Summary& summary, std::span<const std::string> first);
// "- **error** `path:line:col` `message`" for a finding (worded) of the data file at path.
std::string step_summary_item(const LintFinding& finding, std::string_view path);

// Text from the data as one Markdown code span (`text`), shown as it is and read as nothing
// else: no markup, mention, issue reference or link; controls as spaces. Empty for no text.
std::string markdown_code_span(std::string_view text);

// A command's message: % as %25, CR as %0D, LF as %0A.
std::string escape_command_data(std::string_view text);
// A command's property value: as data, and : as %3A, , as %2C.
std::string escape_command_property(std::string_view text);
// Plain text for a job's log that the runner cannot read as a command: on one line (control
// bytes as \xhh), the first ':' of a leading "::" as \x3a and the '[' of "##[" as \x5b.
std::string plain_log_text(std::string_view text);

}  // namespace unitcheck::lint
