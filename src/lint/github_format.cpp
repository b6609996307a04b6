#include "lint/github_format.h"

#include "lint/escape_runs.h"
#include "lint/lint_messages.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

// The byte as a workflow command escapes it: %XX.
std::string_view percent_escape(char c) {
  switch (c) {
    case '%':
      return "%25";
    case '\r':
      return "%0D";
    case '\n':
      return "%0A";
    case ':':
      return "%3A";
    default:  // ','
      return "%2C";
  }
}

void append_escaped(std::string& text, std::string_view value, bool property) {
  escape_runs(
      value,
      [property](char c) {
        return c == '%' || c == '\r' || c == '\n' || (property && (c == ':' || c == ','));
      },
      [&text](std::string_view run) { text.append(run); },
      [&text](char c) { text.append(percent_escape(c)); });
}

class GithubFormat final : public Format {
 public:
  std::string begin() const override { return {}; }

  // Controls are escaped first, as in messages: the runner's log is a terminal too.
  std::string written_path(std::string_view path) const override {
    return escape_command_property(without_controls(path));
  }

  void item(const LintFinding& finding, std::string_view written_path,
            std::string& text) const override {
    text.append("::").append(severity_name(finding.severity)).append(" file=");
    text.append(written_path);
    append_int(text.append(",line="), finding.line);
    append_int(text.append(",col="), finding.column);
    text.append(",title=");
    append_escaped(text, rule_info(finding.rule).id, true);
    text.append("::");
    append_escaped(text, finding.message, false);
    text.append("\n");
  }

  std::string end(const Summary& summary) const override {
    if (!summary.checked) return {};
    // Plain text in the job's log; escaped so that no path reads as a command.
    return escape_command_data(summary_line(summary.errors, summary.warnings, summary.rows,
                                            without_controls(summary.path))) +
           "\n";
  }
};

}  // namespace

std::unique_ptr<Format> make_github_format() {
  return std::make_unique<GithubFormat>();
}

std::string escape_command_data(std::string_view text) {
  std::string escaped;
  append_escaped(escaped, text, false);
  return escaped;
}

std::string escape_command_property(std::string_view text) {
  std::string escaped;
  append_escaped(escaped, text, true);
  return escaped;
}

}  // namespace unitcheck::lint
