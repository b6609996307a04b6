#include "lint/github_format.h"

#include <algorithm>

#include "lint/lint_messages.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

void append_escaped(std::string& text, std::string_view value, bool property) {
  // Runs without a byte to escape go in whole: messages rarely hold one.
  const auto is_escaped = [property](char c) {
    return c == '%' || c == '\r' || c == '\n' || (property && (c == ':' || c == ','));
  };
  while (!value.empty()) {
    const auto run = static_cast<std::size_t>(std::find_if(value.begin(), value.end(), is_escaped) -
                                              value.begin());
    text.append(value.data(), run);
    if (run == value.size()) return;
    switch (value[run]) {
      case '%':
        text += "%25";
        break;
      case '\r':
        text += "%0D";
        break;
      case '\n':
        text += "%0A";
        break;
      case ':':
        text += "%3A";
        break;
      default:  // ','
        text += "%2C";
    }
    value.remove_prefix(run + 1);
  }
}

class GithubFormat final : public Format {
 public:
  std::string begin() const override { return {}; }

  std::string written_path(std::string_view path) const override {
    return escape_command_property(path);
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
    return escape_command_data(
               summary_line(summary.errors, summary.warnings, summary.rows, summary.path)) +
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
