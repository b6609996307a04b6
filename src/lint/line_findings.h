#pragma once

#include <span>
#include <vector>

#include "lint/enrich.h"
#include "lint/lint_finding.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// Whether a line's findings read differently together than one by one: a wrong cell count, or
// values past the end of a group.
bool needs_line_view(std::span<const Finding> findings);

// The findings of one unit line enriched as unitlint reports them, into out (emptied first); word
// them after:
// - A wrong cell count is the line's cause and comes first. When its cause is placed (a decimal
//   comma, a missing comma), the findings of the cells it moved become its notes.
// - The values past the last field of one group are one finding, with their count.
// The rest follow in the order found. findings are those of one line, in the order found.
void enrich_line(std::span<const Finding> findings, const FindingContext& context,
                 std::vector<LintFinding>& out);

}  // namespace unitcheck::lint
