#include "gen/fault_tally.h"

namespace unitcheck::gen {

std::string_view diagnostic_name(Diagnostic kind) {
  static constexpr std::string_view kNames[kDiagnosticCount] = {
      "text too long",
      "directory missing",
      "cockpit missing",
      "mesh file missing",
      "bad boolean",
      "float syntax",
      "float conversion",
      "integer syntax",
      "integer conversion",
      "too many cells",
      "too few cells",
      "list: unclosed group",
      "list: too many values",
      "list: text too long",
      "list: category not found",
      "list: cargo part not found",
      "list: bad boolean",
      "list: not an integer",
      "list: integer conversion",
      "list: not a float",
      "list: float conversion",
  };
  return kNames[static_cast<int>(kind)];
}

long FaultTally::total() const {
  long sum = 0;
  for (long count : counts_) sum += count;
  return sum;
}

}  // namespace unitcheck::gen
