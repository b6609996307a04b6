#include "lint/text_format.h"

#include <algorithm>
#include <vector>

#include "lint/lint_messages.h"
#include "lint/text_cursor.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

constexpr std::string_view kBold = "\x1b[1m";
constexpr std::string_view kRed = "\x1b[1;31m";
constexpr std::string_view kMagenta = "\x1b[1;35m";
constexpr std::string_view kCyan = "\x1b[1;36m";
constexpr std::string_view kReset = "\x1b[0m";

// Past this many findings a report no longer fits a terminal's screen, and ends with its
// counts by rule.
constexpr std::int64_t kScreenful = 24;

std::string_view tint_of(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return kRed;
    case Severity::Warning:
      return kMagenta;
    case Severity::Note:
      break;
  }
  return kCyan;
}

// One finding's line, written through a cursor.
class Line : private TextCursor {
 public:
  Line(std::string& text, std::size_t expected) : TextCursor(text, expected) {}
  using TextCursor::put;
  using TextCursor::put_number;
};

class TextFormat final : public Format {
 public:
  TextFormat(bool color, bool char_columns) : color_(color), char_columns_(char_columns) {}

  std::string begin() const override { return {}; }

  // A line feed in a path must not split the line.
  std::string written_path(std::string_view path) const override { return without_controls(path); }

  bool wants_char_columns() const override { return char_columns_; }

  void item(const LintFinding& finding, std::string_view written_path,
            std::string& text) const override {
    line(finding, written_path, text);
    for (const LintFinding& note : finding.notes) line(note, written_path, text);
  }

  std::string end(const Summary& summary) const override {
    if (!summary.checked) return {};
    std::string text;
    if (summary.errors + summary.warnings + summary.notes > kScreenful) by_rule(summary, text);
    const std::int64_t omitted = summary.omitted_errors + summary.omitted_warnings;
    if (omitted > 0) {
      append_int(text, omitted);
      text.append(omitted == 1 ? " finding was" : " findings were");
      text.append(" not shown, past the limit of --max-findings\n");
    }
    text.append(summary_line(summary.errors, summary.warnings, summary.rows,
                             without_controls(summary.path)));
    text.append("\n");
    return text;
  }

 private:
  void line(const LintFinding& finding, std::string_view written_path, std::string& text) const {
    const std::string_view tint = tint_of(finding.severity);
    const std::string_view id = rule_info(finding.rule).id;
    // The colors and the fixed words take under 80 bytes.
    Line out(text, written_path.size() + finding.message.size() + id.size() + 80);
    paint(out, kBold);
    out.put(written_path);
    out.put(':');
    out.put_number(finding.line);
    out.put(':');
    out.put_number(char_columns_ ? finding.char_column : finding.column);
    out.put(':');
    paint(out, kReset);
    out.put(' ');
    paint(out, tint);
    out.put(severity_name(finding.severity));
    out.put(':');
    paint(out, kReset);
    out.put(' ');
    out.put(finding.message);
    out.put(" [");
    paint(out, tint);
    out.put(id);
    paint(out, kReset);
    out.put("]\n");
  }

  // "findings by rule:", then a line per rule found, the most frequent first.
  static void by_rule(const Summary& summary, std::string& text) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < kRuleCount; ++i)
      if (summary.rule_counts[i] > 0) found.push_back(i);
    std::stable_sort(found.begin(), found.end(), [&](std::size_t a, std::size_t b) {
      return summary.rule_counts[a] > summary.rule_counts[b];
    });
    text.append("findings by rule:\n");
    for (const std::size_t i : found) {
      std::string count;
      append_int(count, summary.rule_counts[i]);
      text.append(count.size() < 8 ? 8 - count.size() : 0, ' ').append(count).append("  ");
      text.append(all_rules()[i].id).append("\n");
    }
  }

  void paint(Line& out, std::string_view color) const {
    if (color_) out.put(color);
  }

  bool color_;
  bool char_columns_;
};

}  // namespace

std::unique_ptr<Format> make_text_format(bool color, bool char_columns) {
  return std::make_unique<TextFormat>(color, char_columns);
}

}  // namespace unitcheck::lint
