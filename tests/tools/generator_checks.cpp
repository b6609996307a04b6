// The generator's output: reproducible, well-formed, and consistent with its own part list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "csv/split_delimited_text.h"
#include "csv/split_unit_row.h"
#include "gen/fault_values.h"
#include "gen/generate.h"
#include "gen/output_buffer.h"
#include "support/temp_dir.h"
#include "tables/convert.h"
#include "tables/schemas.h"
#include "validate/char_sets.h"

namespace unitcheck::gen {
namespace {

using unitcheck::testing::TempDir;

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> read_lines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(read_file(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every path below root, relative to it, in sorted order.
std::vector<std::string> tree_of(const std::filesystem::path& root) {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    paths.push_back(std::filesystem::relative(entry.path(), root).string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

GenOptions small_options(double fault_share, double missing_share) {
  GenOptions options;
  options.rows = 400;
  options.parts = 120;
  options.directories = 60;
  options.fault_share = fault_share;
  options.missing_share = missing_share;
  return options;
}

TEST(OutputBuffer, WritesNumbersInPlainNotation) {
  struct Case {
    std::int64_t scaled;
    int decimals;
    std::string text;
  };
  const Case cases[] = {
      {0, 0, "0"},
      {-1, 0, "-1"},
      {1250, 2, "12.50"},
      {5, 2, "0.05"},
      {-5, 2, "-0.05"},
      {0, 1, "0.0"},
      {100, 2, "1.00"},
      {123456789, 3, "123456.789"},
      {std::numeric_limits<std::int64_t>::min(), 0, "-9223372036854775808"},
      {std::numeric_limits<std::int64_t>::max(), 4, "922337203685477.5807"},
  };
  for (const Case& c : cases) {
    std::string sink;
    {
      OutputBuffer out(sink);
      out.put_fixed(c.scaled, c.decimals);
    }
    EXPECT_EQ(sink, c.text) << c.scaled << " with " << c.decimals << " decimals";
  }
}

TEST(OutputBuffer, KeepsOrderAcrossFlushes) {
  std::string sink;
  const std::string block(3 << 20, 'x');
  {
    OutputBuffer out(sink);
    out.put('a');
    out.put(block);
    out.put(block);                      // no longer fits: the first part goes out first
    out.put(std::string(5 << 20, 'y'));  // larger than the buffer itself
    out.put_int(42);
    EXPECT_EQ(out.bytes(), 1 + 2 * block.size() + (5 << 20) + 2);
  }
  EXPECT_EQ(sink, "a" + block + block + std::string(5 << 20, 'y') + "42");
}

// Each faulty value must fail the one check it was chosen for, and pass the ones before it.
TEST(FaultValues, FailTheirCheck) {
  namespace fv = fault_values;
  for (std::string_view v : fv::kNotFloat) EXPECT_FALSE(all_chars_in(v, float_chars)) << v;
  for (std::string_view v : fv::kBadFloat) {
    EXPECT_TRUE(all_chars_in(v, float_chars)) << v;
    EXPECT_GT(convert_float(v).error_position, 0) << v;
  }
  for (std::string_view v : fv::kNotInteger) EXPECT_FALSE(all_chars_in(v, integer_chars)) << v;
  for (std::string_view v : fv::kBadInt64) {
    EXPECT_TRUE(all_chars_in(v, integer_chars)) << v;
    EXPECT_GT(convert_int64(v).error_position, 0) << v;
  }
  for (std::string_view v : fv::kBadInt32) {
    EXPECT_TRUE(all_chars_in(v, integer_chars)) << v;
    EXPECT_GT(convert_int32(v).error_position, 0) << v;
  }
}

// A faulty value stays one value: in a unit line and in a nested list alike.
TEST(FaultValues, HoldNoSeparators) {
  namespace fv = fault_values;
  for (const auto& list : {std::span<const std::string_view>(fv::kNotFloat),
                           {fv::kBadFloat},
                           {fv::kNotInteger},
                           {fv::kBadInt64},
                           {fv::kBadInt32},
                           {fv::kBadBoolean},
                           {fv::kBadListBoolean}})
    for (std::string_view v : list) EXPECT_EQ(v.find_first_of(",\";{}"), v.npos) << v;
  EXPECT_EQ(fv::kLongText.find_first_of(",\";{}"), fv::kLongText.npos);
}

TEST(Generator, SameStateGivesSameBytes) {
  const TempDir first, second, other;
  GenOptions options = small_options(0.05, 0.05);
  const GenSummary a = generate_data(options, first.path());
  const GenSummary b = generate_data(options, second.path());
  options.random_state = 2;
  generate_data(options, other.path());

  EXPECT_EQ(a.expected, b.expected);
  EXPECT_GT(a.expected.total(), 0);
  for (const char* file : {"units/units.csv", "master_part_list.csv"})
    EXPECT_EQ(read_file(first.path() / file), read_file(second.path() / file)) << file;
  EXPECT_EQ(tree_of(first.path()), tree_of(second.path()));
  EXPECT_NE(read_file(first.path() / "units/units.csv"),
            read_file(other.path() / "units/units.csv"));
}

TEST(Generator, WritesHeaderAndFullRows) {
  const TempDir dir;
  const GenOptions options = small_options(0, 0);
  const GenSummary summary = generate_data(options, dir.path());
  const auto lines = read_lines(dir.path() / "units/units.csv");
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(options.rows + 2));
  EXPECT_EQ(summary.unit_table_bytes, read_file(dir.path() / "units/units.csv").size());

  Tables tables;
  create_tables(tables);
  std::string header = "Key";
  for (int i = 1; i < tables.units.field_count(); ++i)
    header += "," + tables.units.field_at(i).name();
  EXPECT_EQ(lines[0], header);

  std::set<std::string> directories;  // with '/' for either separator
  for (std::size_t i = 2; i < lines.size(); ++i) {
    ASSERT_FALSE(lines[i].empty() || lines[i][0] == ',') << "line " << i + 1;
    const RowShape shape = split_unit_row(
        lines[i], tables.units.field_count(), [&](int column, std::string_view cell) {
          if (column != 1) return;
          std::string directory(cell);
          std::replace(directory.begin(), directory.end(), '\\', '/');
          directories.insert(directory);
        });
    EXPECT_EQ(shape.cell_count, 116) << "line " << i + 1;
    EXPECT_FALSE(shape.too_many) << "line " << i + 1;
  }
  // Rows share a bounded set of unit directories, each of which exists.
  EXPECT_EQ(summary.directories, options.directories);
  EXPECT_LE(directories.size(), static_cast<std::size_t>(options.directories));
  for (const std::string& directory : directories)
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "units" / directory)) << directory;
}

TEST(Generator, BoundsTheDirectoryPool) {
  GenOptions options;
  for (const auto& [rows, directories, made] :
       {std::tuple{10L, 2000, 10}, {1'000'000L, 2000, 2000}, {500L, 50, 50}, {0L, 2000, 1}}) {
    options.rows = rows;
    options.directories = directories;
    EXPECT_EQ(directory_count(options), made) << rows << " rows, " << directories;
  }
}

TEST(Generator, CountsRowsWithWrongCellCounts) {
  const TempDir dir;
  const GenSummary summary = generate_data(small_options(0.05, 0), dir.path());
  const auto lines = read_lines(dir.path() / "units/units.csv");
  long too_few = 0, too_many = 0;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const RowShape shape = split_unit_row(lines[i], 116, [](int, auto) {});
    too_many += shape.too_many;
    too_few += shape.cell_count < 116;
  }
  EXPECT_GT(too_few + too_many, 0);
  EXPECT_EQ(too_few, summary.expected.count(FindingKind::TooFewCells));
  EXPECT_EQ(too_many, summary.expected.count(FindingKind::TooManyCells));
}

// The values of the groups of a nested-list cell.
std::vector<std::vector<std::string>> groups_of(std::string_view cell) {
  std::vector<std::vector<std::string>> groups;
  for (std::size_t open = cell.find('{'); open != cell.npos; open = cell.find('{', open + 1)) {
    const std::size_t close = cell.find('}', open);
    const std::string_view body = cell.substr(open + 1, close - open - 1);
    std::vector<std::string> values(1);
    for (char c : body) {
      if (c == ';')
        values.emplace_back();
      else
        values.back().push_back(c);
    }
    groups.push_back(values);
  }
  return groups;
}

std::string lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return text;
}

// Without faults, every cargo item names a listed part under its own category, and every
// imported category is a category of the list or a prefix of one, in any letter case.
TEST(Generator, CargoNamesListedPartsAndCategories) {
  const TempDir dir;
  generate_data(small_options(0, 0), dir.path());

  std::map<std::string, std::string> category_of_part;
  std::set<std::string> categories;
  const auto part_lines = read_lines(dir.path() / "master_part_list.csv");
  for (std::size_t i = 1; i < part_lines.size(); ++i) {
    std::vector<std::string> cells;
    split_delimited_text(part_lines[i], cells);
    ASSERT_EQ(cells.size(), 6u) << part_lines[i];
    category_of_part[cells[0]] = cells[1];
    for (std::size_t slash = 0; slash != std::string::npos; slash = cells[1].find('/', slash + 1))
      categories.insert(lower(cells[1].substr(0, slash)));
    categories.insert(lower(cells[1]));
  }

  Tables tables;
  create_tables(tables);
  const int cargo = tables.units.field_by_name("Cargo").position();
  const int cargo_import = tables.units.field_by_name("Cargo_Import").position();
  const auto lines = read_lines(dir.path() / "units/units.csv");
  long cargo_items = 0, imports = 0;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    split_unit_row(lines[i], 116, [&](int column, std::string_view cell) {
      if (column == cargo) {
        for (const auto& values : groups_of(cell)) {
          ASSERT_EQ(values.size(), 10u) << cell;
          ASSERT_TRUE(category_of_part.contains(values[0])) << values[0];
          EXPECT_EQ(category_of_part[values[0]], values[1]);
          ++cargo_items;
        }
      } else if (column == cargo_import) {
        for (const auto& values : groups_of(cell)) {
          EXPECT_TRUE(categories.contains(lower(values[0]))) << values[0];
          ++imports;
        }
      }
    });
  }
  EXPECT_GT(cargo_items, 1000);
  EXPECT_GT(imports, 10);
}

}  // namespace
}  // namespace unitcheck::gen
