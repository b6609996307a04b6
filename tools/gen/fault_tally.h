#pragma once

#include <array>
#include <string_view>

#include "validate/finding.h"

namespace unitcheck::gen {

// A short lower-case name of a kind of finding that the transcript has a line for, for
// summaries.
std::string_view diagnostic_name(FindingKind kind);

// How many lines of each kind of finding the validator should print for the generated data.
class FaultTally {
 public:
  void add(FindingKind kind, long count = 1) { counts_[static_cast<int>(kind)] += count; }
  long count(FindingKind kind) const { return counts_[static_cast<int>(kind)]; }
  long total() const;
  bool operator==(const FaultTally&) const = default;

 private:
  std::array<long, kFindingKinds> counts_{};
};

// The kinds of finding that the transcript has a line for, in FindingKind's order: those the
// generator plans and tallies.
template <class F>
void for_each_transcript_kind(F&& f) {
  for (int i = 0; i < kFindingKinds; ++i)
    if (const auto kind = static_cast<FindingKind>(i); in_transcript(kind)) f(kind);
}

}  // namespace unitcheck::gen
