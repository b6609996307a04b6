// The row checks over a unit table from a file and from memory, and over file tests that a
// long-lived caller keeps from run to run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "driver/transcript.h"
#include "platform/console.h"
#include "platform/input_file.h"
#include "support/temp_dir.h"
#include "tables/schemas.h"
#include "validate/cached_file_tests.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/unit_header.h"

namespace unitcheck {
namespace {

using unitcheck::testing::TempDir;

constexpr std::string_view kPartList =
    "file,categoryname\nLaser,Weapons/Guns\nTungsten,Raw/Metals\n";

// The transcript's lines for the table, from the header's unknown columns to the last row.
std::string check_table(UnitChunkReader table, const std::string& root, FileTests& file_tests,
                        unsigned threads) {
  const auto schemas = std::make_unique<Tables>();
  create_tables(*schemas);
  const PartList part_list(kPartList);
  auto [header, rows] = read_unit_header(std::move(table), *schemas);
  std::string out;
  Console console(out);
  write_unknown_fields(console, header);
  TranscriptWriter writer(console);
  check_unit_rows(header, rows, part_list, root, file_tests, writer, threads);
  console.flush();
  return out;
}

// A unit line of the given cells, with as many empty ones after them as the schema has fields.
std::string row(std::string cells) {
  for (int count = 1 + static_cast<int>(std::count(cells.begin(), cells.end(), ',')); count < 116;
       ++count)
    cells += ',';
  return cells;
}

// A table of many kinds of finding: a missing directory, cockpit and meshes, bad numbers,
// unknown parts and categories, a quoted cell, a cell too long, an unknown column; with blank
// lines, line ends of the given kind, and a last line without one.
std::string faulty_table(std::string_view line_end) {
  std::string text = "Key,Directory,Cockpit,Mass,Mesh,Shield_Mesh,Cargo_Import,Cargo,Bogus";
  text.append(line_end).append("types").append(line_end);
  for (int i = 0; i < 120; ++i) {
    const std::string n = std::to_string(i);
    text += row("Unit" + n + ",fighters,cockpit" + n + "," + n + ".5x,{lost" + n +
                ".bfxm;},hull.bfxm,{Weapons;1;2;3;4}{Wrong" + n +
                ";1;2;3;4},{Laser;Weapons/Guns;1;2;3;4;5}{Nope" + n + ";Raw;1;2;3;4;5},x");
    text.append(line_end);
    text += row("Unit" + n + ".b,fighters,,\"1,5\",hull.bfxm,gone.bfxm,,,");
    text.append(line_end);
    text += row("Unit" + n + ".c,nowhere" + n + ",,7,hull.bfxm");
    text.append(line_end);
    if (i % 7 == 0) text.append(line_end);
    if (i % 11 == 0)
      text += row("Long" + n + "," + std::string(200, 'd') + ",,," + std::string(1, '\0'));
    if (i % 11 == 0) text.append(line_end);
    if (i % 13 == 0) text += "Short" + n + ",fighters";
    if (i % 13 == 0) text.append(line_end);
  }
  text += row("Last,fighters,,1,{unended.bfxm;}");
  return text;
}

void make_data(const TempDir& dir) {
  dir.make_directory("data/units/fighters");
  dir.write("data/units/fighters/hull.bfxm", "");
}

// The same bytes checked from their file and from memory give the same findings, byte for
// byte, whatever the chunk size (small ones cut the table at every line and inside lines) and
// the number of threads.
TEST(UnitTableSources, FileAndMemoryGiveTheSameFindings) {
  const TempDir dir;
  make_data(dir);
  const std::string root = dir / "data/";
  for (const std::string_view line_end : {"\n", "\r\n", "\r"}) {
    const std::string text = faulty_table(line_end);
    dir.write("data/units/units.csv", text);
    ASSERT_EQ(read_whole_file(dir / "data/units/units.csv"), text);
    std::string first;
    for (const std::size_t target :
         {std::size_t{1}, std::size_t{97}, std::size_t{4096}, kChunkTarget}) {
      for (const unsigned threads : {0u, 3u}) {
        SCOPED_TRACE(::testing::Message() << "line end " << line_end.size() << ", target " << target
                                          << ", threads " << threads);
        CachedFileTests file_tests;
        const std::string from_file =
            check_table(UnitChunkReader::from_file(dir / "data/units/units.csv", target), root,
                        file_tests, threads);
        CachedFileTests other_tests;
        const std::string from_memory =
            check_table(UnitChunkReader::from_text(text, target), root, other_tests, threads);
        EXPECT_EQ(from_memory, from_file);
        if (first.empty()) first = from_file;
        EXPECT_EQ(from_file, first);
      }
    }
    // The table reads what it claims to: each kind of finding is there.
    for (const std::string_view seen :
         {"Bogus", "\"lost0.bfxm\" file not found", "\"gone.bfxm\" file not found",
          "Wrong119 not found in master part list", "Nope7 - Raw not found", "Mass 1,5<> Float?",
          "\"unended.bfxm\" file not found", "cockpit3 directory does not exist",
          "nowhere5 directory", "(200>60", "Expected 116 got 2"})
      EXPECT_NE(first.find(seen), std::string::npos) << seen;
    EXPECT_EQ(first.find("hull.bfxm\" file not found"), std::string::npos);
  }
}

// File tests kept from run to run keep their answers (a run changes no file) until they are
// told what changed: a file made, a folder made, each forgotten by the path the checks built,
// or by another spelling of it.
TEST(UnitTableSources, ForgottenFileTestsSeeFilesMadeSinceTheLastRun) {
  const TempDir dir;
  make_data(dir);
  const std::string root = dir / "data/";
  const std::string table = "Key,Directory,Shield_Mesh\ntypes\n" + row("A,fighters,late.bfxm") +
                            "\n" + row("B,fresh/,hull.bfxm") + "\n" +
                            row("C,fighters,../../meshes/climb.bfxm") + "\n";
  CachedFileTests file_tests;
  auto run = [&] { return check_table(UnitChunkReader::from_text(table), root, file_tests, 2); };
  const std::string before = run();
  for (const std::string_view seen :
       {"\"late.bfxm\" file not found", "fresh", "\"../../meshes/climb.bfxm\" file not found"})
    ASSERT_NE(before.find(seen), std::string::npos) << seen << " in\n" << before;

  dir.write("data/units/fighters/late.bfxm", "");
  dir.make_directory("data/units/fresh");
  dir.write("data/units/fresh/hull.bfxm", "");
  dir.write("data/meshes/climb.bfxm", "");
  EXPECT_EQ(run(), before);  // nothing forgotten, nothing seen

  file_tests.forget(root + "units/fighters/late.bfxm");
  std::string after = run();
  EXPECT_EQ(after.find("late.bfxm"), std::string::npos) << after;
  EXPECT_NE(after.find("fresh"), std::string::npos) << after;
  EXPECT_NE(after.find("climb.bfxm"), std::string::npos) << after;

  // The climbing cell's path is forgotten with the path it leads to.
  file_tests.forget(root + "meshes/climb.bfxm");
  file_tests.forget_folder(root + "units/fresh");
  after = run();
  EXPECT_EQ(after.find("fresh"), std::string::npos) << after;
  EXPECT_EQ(after.find("climb.bfxm"), std::string::npos) << after;

  // Forgetting everything tests everything again: a file removed is missed again.
  std::filesystem::remove(dir / "data/units/fighters/late.bfxm");
  file_tests.forget_folder("");
  EXPECT_NE(run().find("\"late.bfxm\" file not found"), std::string::npos);
}

}  // namespace
}  // namespace unitcheck
