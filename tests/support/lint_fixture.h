#pragma once

#include <string>
#include <vector>

#include "lint/run_lint.h"
#include "validate/finding.h"

namespace unitcheck::testing {

// One finding of every kind, with values as the checks would see them (a misspelt boolean, a
// category one letter off, a quote, control bytes, bytes that are not UTF-8). Texts are static.
std::vector<Finding> sample_findings();

// A data check that stands in for the core pipeline: it reads the unit table's first line as the
// header, offers names for suggestions, and renders the given findings on threads, one chunk per
// thread, writing the chunks in order.
class FixtureCheck final : public lint::DataCheck {
 public:
  explicit FixtureCheck(std::vector<Finding> findings, int threads = 1)
      : findings_(std::move(findings)), threads_(threads) {}
  lint::DataCheckResult check(const lint::DataDirectory& directory,
                              lint::LintWriter& writer) override;

 private:
  std::vector<Finding> findings_;
  int threads_;
};

}  // namespace unitcheck::testing
