#include "lint/lint_writer.h"

#include "lint/header_checks.h"

namespace unitcheck::lint {

void LintWriter::render(const Finding& finding, std::string& text, std::string& scratch) const {
  LintFinding described;
  described.message.swap(scratch);
  describe(finding, suggestions_, described);
  render(described, text);
  scratch.swap(described.message);
}

void LintWriter::render(const LintFinding& finding, std::string& text) const {
  auto& count = finding.severity == Severity::Error ? errors_ : warnings_;
  count.fetch_add(1, std::memory_order_relaxed);
  const std::string_view path =
      finding.file == DataFile::PartList ? written_part_list_ : written_unit_table_;
  format_.item(finding, path, text);
}

void LintWriter::write(std::string_view text) {
  if (text.empty()) return;
  // Every item begins with the format's separator; the document's first one must not.
  if (before_first_item_) {
    before_first_item_ = false;
    if (text.starts_with(format_.separator())) text.remove_prefix(format_.separator().size());
  }
  output_.write(text);
}

void LintWriter::check_header(const UnitHeader& header, const MemTable& units) {
  for (const HeaderFinding& finding : lint::check_header(header, units)) report(describe(finding));
}

void LintWriter::report(const LintFinding& finding) {
  std::string text;
  render(finding, text);
  write(text);
}

void LintWriter::begin() {
  output_.write(format_.begin());
}

void LintWriter::finish(std::int64_t rows, bool checked) {
  const FindingCounts totals = counts();
  output_.write(format_.end({totals.errors, totals.warnings, rows, checked, paths_.unit_table}));
}

}  // namespace unitcheck::lint
