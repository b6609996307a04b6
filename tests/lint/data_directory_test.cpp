#include "lint/data_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace unitcheck::lint {
namespace {

// Runs in the temporary directory, so that relative arguments are tried there.
class DataDirectoryResolution : public ::testing::Test {
 protected:
  DataDirectoryResolution() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~DataDirectoryResolution() override { std::filesystem::current_path(previous_); }

  testing::TempDir dir_;
  std::filesystem::path previous_;
};

TEST_F(DataDirectoryResolution, TheDirectoryItsUnitsFolderOrItsUnitTableMeanTheDirectory) {
  dir_.write("mod/units/units.csv", "Key\n");
  dir_.write("units/units.csv", "Key\n");
  dir_.write("units/units/units.csv", "Key\n");  // a data directory named units
  const struct {
    std::string argument, unit_table;
  } cases[] = {
      {"", "units/units.csv"},
      {".", "units/units.csv"},
      {"./", "units/units.csv"},
      {"mod", "mod/units/units.csv"},
      {"mod/", "mod/units/units.csv"},
      {"mod//", "mod/units/units.csv"},
      {"mod/units", "mod/units/units.csv"},
      {"mod/units/", "mod/units/units.csv"},
      {"mod/units/units.csv", "mod/units/units.csv"},
      {"./mod/units/units.csv", "./mod/units/units.csv"},
      {"units/units.csv", "units/units.csv"},
      {"units", "units/units/units.csv"},  // itself a data directory: taken as such
      {dir_ / "mod", dir_ / "mod/units/units.csv"},
  };
  for (const auto& c : cases) {
    const DataDirectoryResult result = resolve_data_directory(c.argument);
    EXPECT_TRUE(result.ok()) << c.argument << ": " << result.error;
    EXPECT_EQ(result.directory.unit_table(), c.unit_table) << c.argument;
  }
  const DataDirectory current = resolve_data_directory("").directory;
  EXPECT_EQ(current.root(), "./");
  EXPECT_EQ(current.part_list(), "master_part_list.csv");
  EXPECT_EQ(resolve_data_directory("mod/units").directory.root(), "mod/");
}

TEST_F(DataDirectoryResolution, AnUnreadableUnitTableIsOneLineWithTheSystemsReason) {
  dir_.make_directory("empty");
  dir_.make_directory("folder/units/units.csv");
  dir_.write("file", "x");
  dir_.make_directory("fifo/units");
  ASSERT_EQ(mkfifo((dir_ / "fifo/units/units.csv").c_str(), 0600), 0);
  const struct {
    std::string argument, error;
  } cases[] = {
      {"", "cannot read 'units/units.csv': No such file or directory"},
      {"mod", "cannot read 'mod/units/units.csv': No such file or directory"},
      {"empty/units", "cannot read 'empty/units/units/units.csv': No such file or directory"},
      {"empty/units/units.csv", "cannot read 'empty/units/units.csv': No such file or directory"},
      {"folder", "cannot read 'folder/units/units.csv': Is a directory"},
      {"fifo", "cannot read 'fifo/units/units.csv': Not a regular file"},
      {"file", "cannot read 'file/units/units.csv': Not a directory"},
      {"new\nline", "cannot read 'new\\x0aline/units/units.csv': No such file or directory"},
  };
  for (const auto& c : cases) {
    const DataDirectoryResult result = resolve_data_directory(c.argument);
    EXPECT_FALSE(result.ok()) << c.argument;
    EXPECT_EQ(result.error, c.error);
  }
}

}  // namespace
}  // namespace unitcheck::lint
