#pragma once

#include "lint/enrich.h"
#include "lint/lint_messages.h"

namespace unitcheck::lint {

// A finding enriched and worded, ready for a format.
inline void describe(const Finding& finding, const FindingContext& context, LintFinding& out) {
  enrich(finding, context, out);
  word(out);
}
inline LintFinding describe(const Finding& finding, const FindingContext& context) {
  LintFinding out;
  describe(finding, context, out);
  return out;
}
inline LintFinding describe(const HeaderFinding& finding) {
  LintFinding out = enrich(finding);
  word(out);
  return out;
}
inline LintFinding describe_no_units_checked(std::int64_t keyless) {
  LintFinding out = enrich_no_units_checked(keyless);
  word(out);
  return out;
}

}  // namespace unitcheck::lint
