#pragma once

#include "lint/run_lint.h"

namespace unitcheck::lint {

// The core pipeline as unitlint's DataCheck: loads the part list, reads the unit table's header
// and hands its line to the writer's header checks, offers the part list's names and the
// entries of units/ and cockpits/ for suggestions, and checks the rows with the writer as their
// FindingWriter.
class CoreDataCheck final : public DataCheck {
 public:
  DataCheckResult check(const DataDirectory& directory, LintWriter& writer) override;
};

}  // namespace unitcheck::lint
