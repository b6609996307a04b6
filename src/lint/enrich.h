#pragma once

#include <cstdint>
#include <span>

#include "lint/header_checks.h"
#include "lint/lint_finding.h"
#include "lint/suggestion_source.h"
#include "validate/column_plan.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// What enrich reads besides a finding and its line.
struct FindingContext {
  const SuggestionSource* suggestions = nullptr;  // null: nothing is suggested
  std::span<const ColumnPlan> columns;            // the header's columns, by index
};

// The first of unitlint's three steps (enrich, word, format): a finding of the checks, and the
// line it lies in (finding.line_text), as a lint finding with its rule, level, place in the line,
// suggestion and fix, and the facts its words need; out's message is left for word, its room
// kept. A wrong cell count is traced to its cause here (a decimal comma, a missing comma), from
// the line and the columns.
void enrich(const Finding& finding, const FindingContext& context, LintFinding& out);
LintFinding enrich(const HeaderFinding& finding);
// A run that checked no unit line, of which keyless were passed over for their empty key.
LintFinding enrich_no_units_checked(std::int64_t keyless);
// The values past the last field of one group as one finding: out is first's, enriched; values
// how many there are, end_offset the line offset just past the last.
void enrich_extra_values(const Finding& first, std::int64_t values, std::int64_t end_offset,
                         LintFinding& out);

}  // namespace unitcheck::lint
