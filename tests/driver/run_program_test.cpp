#include "driver/run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace unitcheck {
namespace {

using ::testing::MatchesRegex;

struct Outcome {
  int status;
  std::string transcript;
};

// Runs the whole program in-process on data_directory (as the first argument), HOME unset.
Outcome run_on(const std::string& data_directory) {
  Outcome outcome;
  Console console(outcome.transcript);
  outcome.status = run_program(console, Invocation{data_directory, std::nullopt});
  return outcome;
}

TEST(RunProgram, ValidDataEndsWithTheReportAndStatusZero) {
  testing::TempDir dir;
  dir.write("master_part_list.csv", "file,categoryname\nLaser,Weapons/Guns\n");
  dir.write("units/units.csv", "Key,Name\n\nfighter,Arrow\n");
  const Outcome outcome = run_on(dir / "");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.transcript,
            "Finding data directory.\n"
            "testing " +
                (dir / "units/units.csv") +
                "\n"
                "Using " +
                (dir / "") +
                "\n"
                "Parser Begins\n"
                "Processing " +
                (dir / "master_part_list.csv") +
                " no error checks - Done.\n"
                "Reading " +
                (dir / "units/units.csv") +
                "\n"
                "Header Read\n"
                "Unknown fields: \n"
                " .. None.\n"
                "Header Processed.\n"
                "Fields Error, Expected 116 got 2\n"
                "Database processed.\n"
                "Max Fieldlengths (Str only)\n"
                "---------------------------\n"
                "units.Index: 7\n"
                "units.Name: 5\n");
}

TEST(RunProgram, MissingPartListEndsTheRunWithTheFailureReport) {
  testing::TempDir dir;
  dir.write("units/units.csv", "Key\n\n");
  const Outcome outcome = run_on(dir / "");
  EXPECT_EQ(outcome.status, 217);
  const std::string path = dir / "master_part_list.csv";
  const std::string before = "Processing " + path + " no error checks -\n";
  const std::size_t at = outcome.transcript.find(before);
  ASSERT_NE(at, std::string::npos) << outcome.transcript;
  const std::string report = outcome.transcript.substr(at + before.size());
  // First line, kind and message, one or more stack lines, an empty line; nothing else.
  EXPECT_THAT(report, MatchesRegex("An unhandled exception occurred at \\$[0-9A-F]{8} :\n"
                                   "EFOpenError : Unable to open file \"[^\"]*\"\n"
                                   "(  \\$[0-9A-F]{8}\n)*\n"));
  EXPECT_NE(report.find("\"" + path + "\""), std::string::npos);
}

TEST(RunProgram, PartListWithMoreCellsThanFieldsIsLoaded) {
  testing::TempDir dir;
  dir.write("master_part_list.csv", "Laser,Weapons,1,2,3,a description, with a comma\n");
  dir.write("units/units.csv", "Key,Cargo\n\nx,{Laser;Weapons}{Laser;Nowhere}\n");
  const Outcome outcome = run_on(dir / "");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.transcript.find("cargo Category"), std::string::npos) << outcome.transcript;
}

}  // namespace
}  // namespace unitcheck
