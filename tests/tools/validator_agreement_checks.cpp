// The validator, run on generated data, reports exactly the faults the generator put in.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "driver/invocation.h"
#include "driver/run.h"
#include "gen/generate.h"
#include "platform/console.h"
#include "support/temp_dir.h"

namespace unitcheck::gen {
namespace {

using unitcheck::testing::TempDir;

bool ends_with(std::string_view line, std::string_view tail) {
  return line.ends_with(tail);
}
bool holds(std::string_view line, std::string_view piece) {
  return line.find(piece) != std::string_view::npos;
}

// The kind of a diagnostic line by its wording; false for the progress and report lines.
bool classify(std::string_view line, FindingKind& kind) {
  using enum FindingKind;
  if (line.starts_with("Too Many fields: Row ")) return kind = TooManyCells, true;
  if (line.starts_with("Fields Error, Expected ")) return kind = TooFewCells, true;
  if (!line.starts_with("row ")) return false;
  if (holds(line, " subquery: unclosed. Data offset: "))
    kind = UnclosedGroup;
  else if (holds(line, " subquery: field count exceeds known."))
    kind = TooManyValues;
  else if (holds(line, " - max avail: "))
    kind = NestedTextTooLong;
  else if (ends_with(line, " not found in master part list"))
    kind = line.substr(line.find(' ', 4) + 1).starts_with("cargo_import ") ? CategoryNotFound
                                                                           : CargoPartNotFound;
  else if (holds(line, " not known boolean value (range of 0..1 expected)."))
    kind = NestedNotBoolean;
  else if (ends_with(line, " doesn't seem to be an integer."))
    kind = NestedNotInteger;
  else if (holds(line, " Int conversion of "))
    kind = NestedIntegerConversion;
  else if (ends_with(line, " doesn't seem to be a float."))
    kind = NestedNotFloat;
  else if (holds(line, " Float conversion of "))
    kind = NestedFloatConversion;
  else if (holds(line, " is longer than expected ("))
    kind = TextTooLong;
  else if (ends_with(line, " directory does not exist."))
    kind = holds(line, " Cockpit ") ? CockpitMissing : DirectoryMissing;
  else if (ends_with(line, " file not found"))
    kind = MeshMissing;
  else if (ends_with(line, " <> Boolean?"))
    kind = NotBoolean;
  else if (ends_with(line, "<> Float?"))
    kind = NotFloat;
  else if (holds(line, "float conversion error offset"))
    kind = FloatConversion;
  else if (ends_with(line, "<> Integer?"))
    kind = NotInteger;
  else if (holds(line, "int conversion error offset"))
    kind = IntegerConversion;
  else
    return false;
  return true;
}

struct Transcript {
  FaultTally reported;
  long unclassified_rows = 0;  // lines starting "row " of no known form
  int status = -1;
};

Transcript validate(const std::filesystem::path& data) {
  std::string output;
  Transcript transcript;
  {
    Console console(output);
    Invocation invocation;
    invocation.first_argument = data.string();
    transcript.status = run_program(console, invocation);
  }
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    FindingKind kind;
    if (classify(line, kind))
      transcript.reported.add(kind);
    else if (line.starts_with("row "))
      ++transcript.unclassified_rows;
  }
  return transcript;
}

void expect_same_counts(const FaultTally& reported, const FaultTally& expected) {
  for_each_transcript_kind([&](FindingKind kind) {
    EXPECT_EQ(reported.count(kind), expected.count(kind)) << diagnostic_name(kind);
  });
}

GenOptions options_with(double fault_share, double missing_share) {
  GenOptions options;
  options.rows = 600;
  options.parts = 150;
  options.directories = 80;
  options.fault_share = fault_share;
  options.missing_share = missing_share;
  return options;
}

TEST(ValidatorAgreement, CleanDataGivesNoDiagnostics) {
  const TempDir dir;
  generate_data(options_with(0, 0), dir.path());
  const Transcript transcript = validate(dir.path());
  EXPECT_EQ(transcript.status, 0);
  EXPECT_EQ(transcript.reported.total(), 0);
  EXPECT_EQ(transcript.unclassified_rows, 0);
}

TEST(ValidatorAgreement, EveryPlannedFaultIsReportedOnce) {
  const TempDir dir;
  GenOptions options = options_with(0.05, 0.05);
  options.rows = 1000;  // enough for the rarer kinds, such as unknown imported categories
  const GenSummary summary = generate_data(options, dir.path());
  for_each_transcript_kind([&](FindingKind kind) {
    EXPECT_GT(summary.expected.count(kind), 0) << "no " << diagnostic_name(kind) << " planned";
  });
  const Transcript transcript = validate(dir.path());
  EXPECT_EQ(transcript.status, 0);
  EXPECT_EQ(transcript.unclassified_rows, 0);
  expect_same_counts(transcript.reported, summary.expected);
}

}  // namespace
}  // namespace unitcheck::gen
