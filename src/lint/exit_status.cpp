#include "lint/exit_status.h"

namespace unitcheck::lint {

int exit_status(const FindingCounts& counts, bool strict, bool checked) {
  if (!checked) return kExitCannotCheck;
  if (counts.errors > 0 || (strict && counts.warnings > 0)) return kExitFindings;
  return kExitClean;
}

}  // namespace unitcheck::lint
