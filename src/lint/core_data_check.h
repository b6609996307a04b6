#pragma once

#include "lint/run_lint.h"

namespace unitcheck::lint {

// The core pipeline as unitlint's DataCheck.
//
// UNFINISHED: the core's checks print the unitcheck transcript and do not yet hand Findings to a
// FindingWriter, so this check does not read the data: it reports the unit table as not
// checked, and the run ends with status 2. It is finished when check() loads the part list,
// passes the unit table's header line to writer.check_header, offers the part list's names and
// the units/ and cockpits/ entries with writer.set_suggestions, runs the row checks with writer
// as their FindingWriter, and returns the rows checked.
class CoreDataCheck final : public DataCheck {
 public:
  DataCheckResult check(const DataDirectory& directory, LintWriter& writer) override;
};

}  // namespace unitcheck::lint
