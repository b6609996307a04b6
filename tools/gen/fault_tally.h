#pragma once

#include <array>
#include <string_view>

namespace unitcheck::gen {

// The lines the validator prints for faults, one kind per message form: first those of unit
// cells and rows, then those of nested lists.
enum class Diagnostic {
  TextTooLong,
  DirectoryMissing,
  CockpitMissing,
  MeshMissing,
  BadBoolean,
  FloatSyntax,
  FloatConversion,
  IntegerSyntax,
  IntegerConversion,
  TooManyCells,
  TooFewCells,
  UnclosedGroup,
  TooManyValues,
  ListTextTooLong,
  CategoryNotFound,
  CargoPartNotFound,
  ListBoolean,
  ListNotInteger,
  ListIntegerConversion,
  ListNotFloat,
  ListFloatConversion,
};
inline constexpr int kDiagnosticCount = 21;

// A short lower-case name of the kind, for summaries.
std::string_view diagnostic_name(Diagnostic kind);

// How many lines of each kind the validator should print for the generated data.
class FaultTally {
 public:
  void add(Diagnostic kind, long count = 1) { counts_[static_cast<int>(kind)] += count; }
  long count(Diagnostic kind) const { return counts_[static_cast<int>(kind)]; }
  long total() const;
  bool operator==(const FaultTally&) const = default;

 private:
  std::array<long, kDiagnosticCount> counts_{};
};

}  // namespace unitcheck::gen
