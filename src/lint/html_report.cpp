#include "lint/html_report.h"

#include <algorithm>

#include "tables/convert.h"

namespace unitcheck::lint {

void HtmlReport::write(std::string_view text) {
  pending_.append(text);
  take_records(false);
}

void HtmlReport::take_records(bool at_end) {
  std::string_view text = pending_;
  std::size_t taken = 0;
  while (!text.empty()) {
    const std::size_t start = text.find(kRecordStart);
    if (start == std::string_view::npos) break;
    const std::size_t next = text.find(kRecordStart, start + 1);
    if (next == std::string_view::npos && !at_end) break;
    const std::size_t end = next == std::string_view::npos ? text.size() : next;
    HtmlRecord record;
    // Nothing else reaches this output: a piece that is no record would be a writer's fault,
    // and is dropped rather than shown.
    if (parse_html_record(text.substr(start + 1, end - start - 1), record)) take(record);
    text.remove_prefix(end);
    taken += end;
  }
  pending_.erase(0, at_end ? pending_.size() : taken);
}

void HtmlReport::take(const HtmlRecord& record) {
  if (record.line != unit_.line) {
    close_unit();
    unit_ = UnitTally{};
    unit_.line = record.line;
    unit_.key = record.key;
    unit_.name = record.name;
  }
  unit_.findings += 1 + static_cast<std::int64_t>(record.note_rules.size());
  for (const char note : record.note_rules) {
    const auto rule = static_cast<std::size_t>(note - 'A');
    if (rule < kRuleCount) rules_[rule].notes += 1;
  }
  RuleListing& listing = rules_[static_cast<std::size_t>(record.rule)];
  listing.findings += 1;
  if (record.line > 0 && (listing.first_line == 0 || record.line < listing.first_line))
    listing.first_line = record.line;
  const auto listed = static_cast<std::int64_t>(listing.rows.size());
  if (listed >= kListedPerRule || (listed >= kListedSurely && listed_ >= kListedInAll)) return;
  ++listed_;
  const std::int64_t anchor = next_anchor_++;
  std::string row;
  append_int(row.append("<tr id=\"f"), anchor);
  row.append("\" class=\"").append(severity_name(record.severity)).append("\">");
  row.append(record.cells).append("</tr>").append(record.note_rows);
  listing.rows.push_back(std::move(row));
  if (unit_.links.size() < kLinksPerUnit) unit_.links.emplace_back(record.rule, anchor);
}

void HtmlReport::close_unit() {
  // The header line (1) and findings of no line are no unit's.
  if (unit_.line <= 1 || unit_.findings == 0) return;
  const auto more = [](const UnitTally& a, const UnitTally& b) {
    return a.findings != b.findings ? a.findings > b.findings : a.line < b.line;
  };
  if (top_units_.size() == kTopUnits) {
    if (!more(unit_, top_units_.back())) return;
    top_units_.pop_back();
  }
  top_units_.insert(std::upper_bound(top_units_.begin(), top_units_.end(), unit_, more),
                    std::move(unit_));
}

std::string HtmlReport::page(const Summary& summary, const PageFacts& facts) {
  take_records(true);
  close_unit();
  // Findings past --max-findings never reach the page, but the writer counted them: they are
  // among a rule's unlisted ones (with the notes that came with them).
  for (std::size_t i = 0; i < kRuleCount; ++i) {
    const std::int64_t seen = rules_[i].findings + rules_[i].notes;
    if (summary.rule_counts[i] > seen) rules_[i].findings += summary.rule_counts[i] - seen;
  }
  unit_ = UnitTally{};
  return html_page(
      {summary, facts, rules_, top_units_, kListedPerRule, kListedInAll, kListedSurely});
}

}  // namespace unitcheck::lint
