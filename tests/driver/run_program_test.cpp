#include "driver/run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "support/temp_dir.h"
#include "tables/schemas.h"

namespace unitcheck {
namespace {

using ::testing::MatchesRegex;

struct Outcome {
  int status;
  std::string transcript;
};

// Runs the whole program in-process on data_directory (as the first argument), HOME unset.
Outcome run_on(const std::string& data_directory, unsigned worker_threads = 0) {
  Outcome outcome;
  Console console(outcome.transcript);
  outcome.status = run_program(console, Invocation{data_directory, std::nullopt, worker_threads});
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

// A unit table of several chunks' worth of lines (a few megabytes) under the full header, with
// cells of every kind right and wrong, all three line ends, empty lines and lines that start with a
// comma.
std::string many_faulty_lines(int count) {
  Tables tables;
  create_tables(tables);
  const MemTable& units = tables.units;
  std::string text;
  for (int k = 0; k < units.field_count(); ++k)
    text += (k > 0 ? "," : "") + units.field_at(k).name();
  text += "\nsecond header line\n";
  const char* const cells[] = {"",     "1",         "2.5e3",   "x",       "TRUE",
                               "1e",   "{a;1;2}",   "{;;}{1}", "\"q,r\"", "99999999999999999999",
                               "-0.5", "{b;c;d;e}", "meshes",  "{",       "12a"};
  const char* const line_ends[] = {"\n", "\r\n", "\r"};
  std::mt19937 random(11);
  for (int row = 0; row < count; ++row) {
    if (row % 97 == 0) text += ",starts with a comma";
    if (row % 89 != 0) {
      const int cell_count = 100 + static_cast<int>(random() % 20);
      for (int k = 0; k < cell_count; ++k)
        text += std::string(k > 0 ? "," : "") + cells[random() % std::size(cells)];
    }
    text += line_ends[random() % std::size(line_ends)];
  }
  return text;
}

TEST(RunProgram, TranscriptIsTheSameWithAnyNumberOfWorkerThreads) {
  testing::TempDir dir;
  dir.write("master_part_list.csv", "file,categoryname\nLaser,Weapons/Guns\n");
  dir.write("units/units.csv", many_faulty_lines(8000));
  const Outcome alone = run_on(dir / "", 0);
  ASSERT_EQ(alone.status, 0);
  // Enough faults that every chunk of lines has something to say.
  ASSERT_GT(std::count(alone.transcript.begin(), alone.transcript.end(), '\n'), 20000);
  for (unsigned workers : {1u, 3u}) {
    const Outcome threaded = run_on(dir / "", workers);
    EXPECT_EQ(threaded.status, 0);
    EXPECT_TRUE(threaded.transcript == alone.transcript) << workers << " workers";
  }
}

}  // namespace
}  // namespace unitcheck
