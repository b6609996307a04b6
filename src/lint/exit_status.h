#pragma once

#include <cstdint>

namespace unitcheck::lint {

inline constexpr int kExitClean = 0;        // checked, nothing wrong
inline constexpr int kExitFindings = 1;     // checked, at least one error (or warning, strict)
inline constexpr int kExitCannotCheck = 2;  // bad usage, unreadable data, output refused

struct FindingCounts {
  std::int64_t errors = 0;
  std::int64_t warnings = 0;
};

// The exit status of a run: 2 when the data could not be checked to the end, else 1 when there
// is an error (or, under strict, a warning), else 0.
int exit_status(const FindingCounts& counts, bool strict, bool checked);

}  // namespace unitcheck::lint
