#pragma once

#include "lint/enrich.h"
#include "lint/lint_messages.h"

namespace unitcheck::lint {

// A finding enriched and worded, ready for a format: the tests' and fuzzers' shorthand for the
// two steps that the writer and the server take on their own threads.
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

}  // namespace unitcheck::lint
