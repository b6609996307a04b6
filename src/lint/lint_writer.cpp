#include "lint/lint_writer.h"

#include <vector>

#include "lint/char_columns.h"
#include "lint/header_checks.h"
#include "lint/line_findings.h"

namespace unitcheck::lint {

void LintWriter::render(const Finding& finding, std::string& text, RenderScratch& scratch) const {
  LintFinding described;
  described.message.swap(scratch.words);
  describe(finding, suggestions_, described);
  render(described, text, scratch.place);
  scratch.words.swap(described.message);
}

void LintWriter::render_line_findings(std::span<const Finding> findings, std::string& text,
                                      RenderScratch& scratch) const {
  // Most lines' findings read the same one by one, and cost no list.
  if (!needs_line_view(findings)) {
    for (const Finding& finding : findings) render(finding, text, scratch);
    return;
  }
  std::vector<LintFinding> described;
  describe_line(findings, suggestions_, described);
  for (LintFinding& finding : described) render(finding, text, scratch.place);
}

void LintWriter::count_characters(LintFinding& finding, LinePlace& place) const {
  if (finding.line_text.data() == nullptr) {
    finding.char_column = finding.column;
    finding.end_char_column = finding.end_column;
  } else {
    finding.char_column = code_point_column(finding.line_text, finding.column, place);
    finding.end_char_column = code_point_column(finding.line_text, finding.end_column, place);
  }
  for (LintFinding& note : finding.notes) count_characters(note, place);
}

void LintWriter::count(const LintFinding& finding) const {
  auto& total = finding.severity == Severity::Error     ? errors_
                : finding.severity == Severity::Warning ? warnings_
                                                        : notes_;
  total.fetch_add(1, std::memory_order_relaxed);
  rule_counts_[static_cast<std::size_t>(finding.rule)].fetch_add(1, std::memory_order_relaxed);
  for (const LintFinding& note : finding.notes) count(note);
}

void LintWriter::render(LintFinding& finding, std::string& text, LinePlace& place) const {
  count(finding);
  if (char_columns_) count_characters(finding, place);
  const std::string_view path =
      finding.file == DataFile::PartList ? written_part_list_ : written_unit_table_;
  if (gate_.active()) ReportGate::mark_item(text, finding.severity);
  format_.item(finding, path, text);
}

void LintWriter::write(std::string_view text) {
  if (text.empty()) return;
  if (!gate_.active()) {
    write_item(text);
    return;
  }
  gate_.pass(text, [this](std::string_view item) { write_item(item); });
}

void LintWriter::write_item(std::string_view text) {
  // Every item begins with the format's separator; the document's first one must not.
  if (before_first_item_) {
    before_first_item_ = false;
    if (text.starts_with(format_.separator())) text.remove_prefix(format_.separator().size());
  }
  if (keep_first_items_ && first_items_.size() < kFirstItems) first_items_.emplace_back(text);
  output_.write(text);
}

void LintWriter::check_header(const UnitHeader& header, const MemTable& units) {
  // One place along the line for all its findings, which come in its order: a walk, not one
  // per finding.
  LinePlace place;
  std::string text;
  format_.header_read(header.line);
  lint::check_header(header, units, [&](const HeaderFinding& finding) {
    LintFinding described = describe(finding);
    described.line_text = header.line;
    text.clear();
    render(described, text, place);
    write(text);
  });
}

void LintWriter::report(LintFinding finding) {
  std::string text;
  LinePlace place;
  render(finding, text, place);
  write(text);
}

void LintWriter::begin() {
  output_.write(format_.begin());
}

std::array<std::int64_t, kRuleCount> LintWriter::rule_counts() const {
  std::array<std::int64_t, kRuleCount> counts{};
  for (std::size_t i = 0; i < kRuleCount; ++i) counts[i] = rule_counts_[i].load();
  return counts;
}

Summary LintWriter::finish(std::int64_t rows, bool checked, std::string_view failure) {
  gate_.finish([this](std::string_view item) { write_item(item); });
  const FindingCounts totals = counts();
  Summary summary;
  summary.errors = totals.errors;
  summary.warnings = totals.warnings;
  summary.rows = rows;
  summary.checked = checked;
  summary.path = paths_.unit_table;
  summary.notes = notes();
  summary.failure = failure;
  summary.omitted_errors = gate_.omitted_errors();
  summary.omitted_warnings = gate_.omitted_warnings();
  summary.rule_counts = rule_counts();
  output_.write(format_.end(summary));
  return summary;
}

}  // namespace unitcheck::lint
