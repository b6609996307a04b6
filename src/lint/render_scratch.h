#pragma once

#include <cstdint>

#include "lint/lint_finding.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// How far along one line characters were last counted: a renderer that turns byte columns into
// character columns walks each line once, however many findings it holds.
struct LinePlace {
  const char* line = nullptr;    // the line's first byte
  std::int64_t byte = 0;         // counted up to this byte offset
  std::int64_t code_points = 0;  // the code points before it
};

// What a checking thread keeps from finding to finding while unitlint renders: a lint finding,
// whose room (its message's above all) the next one reuses, and where it counted characters
// last. The LintWriter makes it; the checks hold it.
struct RenderScratch final : RenderState {
  LintFinding finding;
  LinePlace place;
};

}  // namespace unitcheck::lint
