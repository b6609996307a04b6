#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "lint/header_problem.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// Note: a finding that another explains (a cell moved by a line's wrong cell count), reported
// under its cause.
enum class Severity : std::uint8_t { Error, Warning, Note };

// Every rule unitlint reports under: one per kind of finding of the checks, then the rules of
// the header, which only unitlint applies, then the rules added since (appended, so that a
// rule's index in a SARIF log stays the same). What each reports is said once, in its row of
// the rule table (RuleInfo::source); rule_for finds the rule from that.
enum class Rule : std::uint8_t {
  TextTooLong,
  DirectoryMissing,
  CockpitMissing,
  MeshMissing,
  NotBoolean,
  FloatCharacters,
  FloatSyntax,
  IntegerCharacters,
  IntegerSyntax,
  TooManyCells,
  TooFewCells,
  NestedUnclosedGroup,
  NestedTooManyValues,
  NestedTextTooLong,
  UnknownCategory,
  UnknownCargo,
  NestedNotBoolean,
  NestedIntegerCharacters,
  NestedIntegerSyntax,
  NestedFloatCharacters,
  NestedFloatSyntax,
  NestedUnclosedLastGroup,
  // The header line.
  WrongSeparator,
  UnknownColumnNearMiss,
  UnknownColumn,
  MissingColumn,
  DuplicateColumn,
  EmptyKey,         // a unit line with an empty first cell
  HeaderUnmapped,   // the header names none, or few, of the unit table's columns
  NotUtf8,          // the unit table is UTF-16 or UTF-32
  NoUnitsChecked,   // the run checked no unit line
  PathOutsideData,  // a path cell that is absolute or leads out of the data directory
};

inline constexpr std::size_t kRuleCount = static_cast<std::size_t>(Rule::PathOutsideData) + 1;

// What a rule reports: one kind of finding of the checks, one problem of the header, or a fact
// of the whole run.
struct RuleSource {
  enum class Of : std::uint8_t { Finding, Header, Run };
  constexpr RuleSource(FindingKind kind)
      : of(Of::Finding), index(static_cast<std::uint8_t>(kind)) {}
  constexpr RuleSource(HeaderProblem problem)
      : of(Of::Header), index(static_cast<std::uint8_t>(problem)) {}
  static constexpr RuleSource whole_run() { return RuleSource(Of::Run, 0); }

  Of of;
  std::uint8_t index;  // the FindingKind or HeaderProblem

 private:
  constexpr RuleSource(Of source_of, std::uint8_t source_index)
      : of(source_of), index(source_index) {}
};

// What a rule is: its stable kebab-case id, what it reports, its default severity, and texts
// for a rule list.
struct RuleInfo {
  Rule rule;
  RuleSource source;
  std::string_view id;
  Severity severity;
  std::string_view summary;  // one line
  std::string_view help;     // what the rule expects and how to mend a finding
};

// Every rule, in the order of Rule.
std::span<const RuleInfo> all_rules();
const RuleInfo& rule_info(Rule rule);
// The rule a finding of the checks, or a problem of the header, is reported under.
Rule rule_for(FindingKind kind);
Rule rule_for(HeaderProblem problem);

std::string_view severity_name(Severity severity);

}  // namespace unitcheck::lint
