#include "lint/line_findings.h"

#include <algorithm>
#include <cstdint>

namespace unitcheck::lint {

namespace {

bool is_cell_count(FindingKind kind) {
  return kind == FindingKind::TooManyCells || kind == FindingKind::TooFewCells;
}

std::int64_t value_end(const Finding& f) {
  return f.value_offset + static_cast<std::int64_t>(f.value.size());
}

// Whether next is the value after previous in the same group: both past its last field, and
// only the semicolon between them.
bool continues_extra_values(const Finding& previous, const Finding& next) {
  if (previous.kind != FindingKind::TooManyValues || next.kind != FindingKind::TooManyValues ||
      previous.cell != next.cell || previous.line_text.data() != next.line_text.data())
    return false;
  const std::int64_t gap_begin = value_end(previous);
  if (next.value_offset < gap_begin) return false;
  const std::string_view gap = next.line_text.substr(
      static_cast<std::size_t>(gap_begin), static_cast<std::size_t>(next.value_offset - gap_begin));
  return std::all_of(gap.begin(), gap.end(), [](char c) { return c == ';'; });
}

}  // namespace

bool needs_line_view(std::span<const Finding> findings) {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
    return is_cell_count(f.kind) || f.kind == FindingKind::TooManyValues;
  });
}

void enrich_line(std::span<const Finding> findings, const FindingContext& context,
                 std::vector<LintFinding>& out) {
  out.clear();
  out.reserve(findings.size());
  std::vector<std::int64_t> cells;  // each described finding's cell
  for (std::size_t i = 0; i < findings.size();) {
    const Finding& first = findings[i];
    std::size_t next = i + 1;
    while (next < findings.size() && continues_extra_values(findings[next - 1], findings[next]))
      ++next;
    enrich(first, context, out.emplace_back());
    if (next - i > 1)
      enrich_extra_values(first, static_cast<std::int64_t>(next - i), value_end(findings[next - 1]),
                          out.back());
    cells.push_back(first.cell);
    i = next;
  }

  const auto cause = std::find_if(out.begin(), out.end(), [](const LintFinding& f) {
    return f.rule == Rule::TooManyCells || f.rule == Rule::TooFewCells;
  });
  if (cause == out.end()) return;
  std::vector<LintFinding> ordered;
  ordered.reserve(out.size());
  ordered.push_back(std::move(*cause));
  LintFinding& head = ordered.front();
  const std::int64_t moved_from = head.moved_from_cell;
  for (std::size_t k = 0; k < out.size(); ++k) {
    if (out.begin() + static_cast<std::ptrdiff_t>(k) == cause) continue;
    if (moved_from >= 0 && cells[k] >= moved_from) {
      out[k].severity = Severity::Note;
      head.notes.push_back(std::move(out[k]));
    } else {
      ordered.push_back(std::move(out[k]));
    }
  }
  out.swap(ordered);
}

}  // namespace unitcheck::lint
