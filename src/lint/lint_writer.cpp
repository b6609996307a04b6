#include "lint/lint_writer.h"

#include <vector>

#include "lint/char_columns.h"
#include "lint/header_checks.h"
#include "lint/line_findings.h"
#include "lint/lint_messages.h"

namespace unitcheck::lint {

void LintWriter::render(const Finding& finding, std::string& text, RenderState& state) const {
  auto& scratch = static_cast<RenderScratch&>(state);
  enrich(finding, context_, scratch.finding);
  render(scratch.finding, text, scratch.place);
}

void LintWriter::render_line_findings(std::span<const Finding> findings, std::string& text,
                                      RenderState& state) const {
  auto& scratch = static_cast<RenderScratch&>(state);
  // Most lines' findings read the same one by one, and cost no list.
  if (!needs_line_view(findings)) {
    for (const Finding& finding : findings) render(finding, text, state);
    return;
  }
  std::vector<LintFinding> described;
  enrich_line(findings, context_, described);
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

// An enriched finding, worded and laid out by the format after its mark. A finding that the
// report's limits can no longer let through is only marked, to be counted.
void LintWriter::render(LintFinding& finding, std::string& text, LinePlace& place) const {
  if (gate_.refuses(finding.severity)) {
    end_item(text, begin_item(text, finding, {}));
    return;
  }
  word(finding);
  if (char_columns_) count_characters(finding, place);
  const bool part_list = finding.file == DataFile::PartList;
  const bool attach =
      item_line_ != nullptr && first_items_kept_.load(std::memory_order_relaxed) < kFirstItems;
  const ItemStart start =
      begin_item(text, finding,
                 attach ? item_line_(finding, part_list ? paths_.part_list : paths_.unit_table)
                        : std::string());
  format_.item(finding, part_list ? written_part_list_ : written_unit_table_, text);
  end_item(text, start);
}

void LintWriter::count(const ItemMark& mark) {
  (mark.severity == Severity::Error     ? errors_
   : mark.severity == Severity::Warning ? warnings_
                                        : notes_) += 1;
  rule_counts_[static_cast<std::size_t>(mark.rule)] += 1;
  for (const char note : mark.note_rules) {
    notes_ += 1;
    rule_counts_[static_cast<std::size_t>(rule_of_byte(note))] += 1;
  }
}

void LintWriter::write(std::string_view text) {
  for_each_item(text, [this](const ItemMark& mark, std::string_view marked) {
    count(mark);
    if (gate_.active()) {
      gate_.offer(mark.severity, marked, [this](std::string_view item) { emit(read_mark(item)); });
    } else {
      emit(mark);
    }
  });
  flush();
}

void LintWriter::emit(const ItemMark& mark) {
  std::string_view text = mark.text;
  // Every item begins with the format's separator; the document's first one must not.
  if (before_first_item_) {
    before_first_item_ = false;
    if (text.starts_with(format_.separator())) text.remove_prefix(format_.separator().size());
  }
  if (item_line_ != nullptr && first_items_.size() < kFirstItems) {
    first_items_.emplace_back(mark.attached);
    first_items_kept_.store(first_items_.size(), std::memory_order_relaxed);
  }
  pending_.append(text);
}

void LintWriter::flush() {
  if (pending_.empty()) return;
  output_.write(pending_);
  pending_.clear();
}

void LintWriter::check_header(const UnitHeader& header, const MemTable& units) {
  // One place along the line for all its findings, which come in its order: a walk, not one
  // per finding.
  LinePlace place;
  std::string text;
  format_.header_read(header.line);
  lint::check_header(header, units, [&](const HeaderFinding& finding) {
    LintFinding described = enrich(finding);
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

Summary LintWriter::finish(std::int64_t rows, bool checked, std::string_view failure) {
  gate_.finish([this](std::string_view item) { emit(read_mark(item)); });
  flush();
  Summary summary;
  summary.errors = errors_;
  summary.warnings = warnings_;
  summary.rows = rows;
  summary.checked = checked;
  summary.path = paths_.unit_table;
  summary.notes = notes_;
  summary.failure = failure;
  summary.omitted_errors = gate_.omitted_errors();
  summary.omitted_warnings = gate_.omitted_warnings();
  summary.rule_counts = rule_counts_;
  output_.write(format_.end(summary));
  return summary;
}

}  // namespace unitcheck::lint
