#include "gen/fault_tally.h"

namespace unitcheck::gen {

std::string_view diagnostic_name(FindingKind kind) {
  switch (kind) {
    case FindingKind::TextTooLong:
      return "text too long";
    case FindingKind::DirectoryMissing:
      return "directory missing";
    case FindingKind::CockpitMissing:
      return "cockpit missing";
    case FindingKind::MeshMissing:
      return "mesh file missing";
    case FindingKind::NotBoolean:
      return "bad boolean";
    case FindingKind::NotFloat:
      return "float syntax";
    case FindingKind::FloatConversion:
      return "float conversion";
    case FindingKind::NotInteger:
      return "integer syntax";
    case FindingKind::IntegerConversion:
      return "integer conversion";
    case FindingKind::TooManyCells:
      return "too many cells";
    case FindingKind::TooFewCells:
      return "too few cells";
    case FindingKind::UnclosedGroup:
      return "list: unclosed group";
    case FindingKind::TooManyValues:
      return "list: too many values";
    case FindingKind::NestedTextTooLong:
      return "list: text too long";
    case FindingKind::CategoryNotFound:
      return "list: category not found";
    case FindingKind::CargoPartNotFound:
      return "list: cargo part not found";
    case FindingKind::NestedNotBoolean:
      return "list: bad boolean";
    case FindingKind::NestedNotInteger:
      return "list: not an integer";
    case FindingKind::NestedIntegerConversion:
      return "list: integer conversion";
    case FindingKind::NestedNotFloat:
      return "list: not a float";
    case FindingKind::NestedFloatConversion:
      return "list: float conversion";
    case FindingKind::UnclosedLastGroup:
    case FindingKind::EmptyKey:
    case FindingKind::PathOutsideData:
      break;  // no line of the transcript
  }
  return "";
}

long FaultTally::total() const {
  long sum = 0;
  for (long count : counts_) sum += count;
  return sum;
}

}  // namespace unitcheck::gen
