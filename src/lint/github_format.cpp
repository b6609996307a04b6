#include "lint/github_format.h"

#include <algorithm>

#include "lint/escape_runs.h"
#include "lint/lint_messages.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

constexpr std::int64_t kShownPerStep = 10;
// Notes written into a finding's annotation; the rest are counted.
constexpr std::size_t kNotesFolded = 10;

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

// The notes of a finding, folded into its message: an annotation has no notes of its own.
void fold_notes(const LintFinding& finding, std::string& text) {
  const std::size_t shown = std::min(finding.notes.size(), kNotesFolded);
  for (std::size_t k = 0; k < shown; ++k) {
    const LintFinding& note = finding.notes[k];
    std::string line = "\nnote: column " + std::to_string(note.column) + ": " + note.message +
                       " [" + std::string(rule_info(note.rule).id) + "]";
    append_escaped(text, line, false);
  }
  if (shown < finding.notes.size())
    append_escaped(
        text, "\nand " + std::to_string(finding.notes.size() - shown) + " more notes on this line",
        false);
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
    fold_notes(finding, text);
    text.append("\n");
  }

  // Workflow commands show ten errors and ten warnings a step: the first of each, errors first.
  ReportLimits default_limits() const override {
    ReportLimits limits;
    limits.errors = kShownPerStep;
    limits.warnings = kShownPerStep;
    limits.errors_first = true;
    return limits;
  }

  std::string end(const Summary& summary) const override {
    if (!summary.checked)
      return "::error title=unitlint::" +
             escape_command_data("the data could not be checked: " + std::string(summary.failure)) +
             "\n";
    std::string text;
    const std::int64_t omitted = summary.omitted_errors + summary.omitted_warnings;
    if (omitted > 0) {
      const std::string counts = std::to_string(summary.omitted_errors) + " errors and " +
                                 std::to_string(summary.omitted_warnings) + " warnings";
      text.append("::notice title=unitlint::");
      append_escaped(text,
                     counts +
                         " are not shown as annotations, past what a step shows; run "
                         "unitlint with --format text to see every finding (the step "
                         "summary counts them by rule)",
                     false);
      text.append("\n");
    }
    // Plain text in the job's log, not a command: shown as written, so nothing is
    // percent-encoded, but it must not read as a command either.
    text.append(plain_log_text(summary_line(summary.errors, summary.warnings, summary.rows,
                                            without_controls(summary.path))));
    text.append("\n");
    return text;
  }
};

// Text as Markdown shows it literally: the punctuation that could begin markup, a link, an HTML
// tag or an entity behind a backslash, line breaks as spaces, so that data can neither format
// the summary nor break its table. (Its lines never begin with data, where - + . would count.)
// Only for text of our own: GitHub reads mentions, issue references and links in the rendered
// text, where a backslash no longer stands.
std::string markdown_literal(std::string_view text) {
  std::string literal;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      literal += ' ';
    } else if (std::string_view("\\`*_{}[]<>()#!|~&").find(c) != std::string_view::npos) {
      literal += '\\';
      literal += c;
    } else {
      literal += c;
    }
  }
  return literal;
}

}  // namespace

// Text from the data goes in a code span: nothing in one is markup, and GitHub makes no
// mention (@name), issue reference (#12), autolink (www.x.org, https://...) or commit link
// inside code. The fence is one backtick longer than the text's longest run of backticks; a
// space pads text that begins or ends with a backtick or a space, since one space is taken
// from each end of a span that has both.
std::string markdown_code_span(std::string_view text) {
  std::string content;
  content.reserve(text.size());
  std::size_t run = 0;
  std::size_t longest = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    content += byte < 0x20 || byte == 0x7f ? ' ' : c;
    run = c == '`' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  if (content.empty()) return {};
  const std::string fence(longest + 1, '`');
  const auto pads = [](char c) { return c == '`' || c == ' '; };
  const bool pad = pads(content.front()) || pads(content.back());
  std::string span = fence;
  if (pad) span += ' ';
  span += content;
  if (pad) span += ' ';
  return span + fence;
}

std::string step_summary_markdown(const Summary& summary, std::span<const std::string> first) {
  std::string text = "### unitlint\n\n";
  if (!summary.checked) {
    text += "The data could not be checked: " + markdown_code_span(summary.failure) + "\n";
    return text;
  }
  // The counts in words, then the path as data.
  text += markdown_literal(summary_line(summary.errors, summary.warnings, summary.rows, "")) +
          markdown_code_span(without_controls(summary.path)) + "\n\n";
  if (summary.errors + summary.warnings + summary.notes > 0) {
    text += "| rule | level | findings |\n|---|---|---:|\n";
    for (const RuleInfo& rule : all_rules()) {
      const std::int64_t count = summary.rule_counts[static_cast<std::size_t>(rule.rule)];
      if (count == 0) continue;
      text.append("| ").append(markdown_literal(rule.id)).append(" | ");
      text.append(severity_name(rule.severity)).append(" | ");
      text.append(std::to_string(count)).append(" |\n");
    }
  }
  if (!first.empty()) {
    text += "\nFirst findings:\n\n";
    for (const std::string& item : first) text += item;
  }
  const std::int64_t omitted = summary.omitted_errors + summary.omitted_warnings;
  if (omitted > 0)
    text.append("\n")
        .append(std::to_string(omitted))
        .append(
            " findings are not shown as annotations; `unitlint --format text` lists them all.\n");
  return text;
}

std::string step_summary_item(const LintFinding& finding, std::string_view path) {
  // Messages quote values from the data: the whole message is taken as code.
  return "- **" + markdown_literal(severity_name(finding.severity)) + "** " +
         markdown_code_span(without_controls(path) + ":" + std::to_string(finding.line) + ":" +
                            std::to_string(finding.column)) +
         " " + markdown_code_span(finding.message) + "\n";
}

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
