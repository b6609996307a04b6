#include "lint/text_format.h"

#include "lint/lint_messages.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

constexpr std::string_view kBold = "\x1b[1m";
constexpr std::string_view kRed = "\x1b[1;31m";
constexpr std::string_view kMagenta = "\x1b[1;35m";
constexpr std::string_view kReset = "\x1b[0m";

class TextFormat final : public Format {
 public:
  explicit TextFormat(bool color) : color_(color) {}

  std::string begin() const override { return {}; }

  // A line feed in a path must not split the line.
  std::string written_path(std::string_view path) const override { return without_controls(path); }

  void item(const LintFinding& finding, std::string_view written_path,
            std::string& text) const override {
    const std::string_view severity = severity_name(finding.severity);
    const std::string_view tint = finding.severity == Severity::Error ? kRed : kMagenta;
    paint(text, kBold);
    text.append(written_path);
    append_int(text.append(":"), finding.line);
    append_int(text.append(":"), finding.column);
    text.append(":");
    paint(text, kReset);
    text.append(" ");
    paint(text, tint);
    text.append(severity).append(":");
    paint(text, kReset);
    text.append(" ").append(finding.message).append(" [");
    paint(text, tint);
    text.append(rule_info(finding.rule).id);
    paint(text, kReset);
    text.append("]\n");
  }

  std::string end(const Summary& summary) const override {
    if (!summary.checked) return {};
    return summary_line(summary.errors, summary.warnings, summary.rows,
                        without_controls(summary.path)) +
           "\n";
  }

 private:
  void paint(std::string& text, std::string_view color) const {
    if (color_) text.append(color);
  }

  bool color_;
};

}  // namespace

std::unique_ptr<Format> make_text_format(bool color) {
  return std::make_unique<TextFormat>(color);
}

}  // namespace unitcheck::lint
