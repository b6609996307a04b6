#include "lint/github_format.h"

#include <algorithm>

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
    // Plain text in the job's log, not a command: shown as written, so nothing is
    // percent-encoded, but it must not read as a command either.
    return plain_log_text(
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

std::string plain_log_text(std::string_view text) {
  const std::string visible = without_controls(text);
  std::string plain;
  plain.reserve(visible.size());
  std::string_view rest = visible;
  // A line that begins with "::", after white space, is a command: its first ':' goes as \x3a.
  // The runner trims Unicode white space too, so every byte past ASCII counts as such here.
  const std::size_t colons = rest.find("::");
  if (colons != std::string_view::npos &&
      std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(colons),
                  [](char c) { return c == ' ' || static_cast<unsigned char>(c) >= 0x80; })) {
    plain.append(rest.substr(0, colons)).append("\\x3a");
    rest.remove_prefix(colons + 1);
  }
  // "##[" starts a command wherever it stands in a line: its '[' goes as \x5b.
  for (std::size_t at = rest.find("##["); at != std::string_view::npos; at = rest.find("##[")) {
    plain.append(rest.substr(0, at + 2)).append("\\x5b");
    rest.remove_prefix(at + 3);
  }
  return plain.append(rest);
}

std::string escape_command_property(std::string_view text) {
  std::string escaped;
  append_escaped(escaped, text, true);
  return escaped;
}

}  // namespace unitcheck::lint
