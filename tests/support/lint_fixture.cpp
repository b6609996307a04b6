#include "support/lint_fixture.h"

#include <algorithm>
#include <fstream>
#include <string_view>
#include <thread>

#include "lint/suggestion_lists.h"
#include "tables/schemas.h"
#include "validate/path_bounds.h"
#include "validate/unit_header.h"

namespace unitcheck::testing {

namespace {

using namespace std::string_view_literals;

Finding cell(FindingKind kind, std::int64_t line, std::int64_t offset, std::string_view column,
             std::string_view value) {
  Finding f;
  f.kind = kind;
  f.line = line;
  f.cell_offset = offset;
  f.column = column;
  f.value = value;
  f.length = static_cast<std::int64_t>(value.size());
  return f;
}

Finding nested(FindingKind kind, std::int64_t line, std::int64_t offset, std::string_view column,
               std::string_view table, std::string_view field, std::string_view value) {
  Finding f = cell(kind, line, offset - 10, column, value);
  f.value_offset = offset;
  f.table = table;
  f.field = field;
  return f;
}

constexpr std::string_view kCategories[] = {"Raw_Materials/Metals", "Weapons/Guns",
                                            "Upgrades/Shields"};
constexpr std::string_view kParts[] = {"mining_laser", "laser"};
constexpr std::string_view kUnitDirectories[] = {"hornet", "talon"};
constexpr std::string_view kCockpits[] = {"fighter-cockpit"};

}  // namespace

std::vector<Finding> sample_findings() {
  std::vector<Finding> f;
  Finding too_long = cell(FindingKind::TextTooLong, 3, 14, "Name", "Mule Bulk Freighter");
  too_long.limit = 15;
  f.push_back(too_long);
  f.push_back(cell(FindingKind::DirectoryMissing, 3, 7, "Directory", "hornett"));
  f.push_back(cell(FindingKind::CockpitMissing, 4, 40, "Cockpit", "fighter-cockpt"));
  f.push_back(cell(FindingKind::MeshMissing, 4, 60, "Shield_Mesh", "talon-shield.mesh"));
  f.push_back(cell(FindingKind::NotBoolean, 5, 300, "Jump_Drive_Present", "flase"));
  f.push_back(cell(FindingKind::NotFloat, 5, 320, "Mass", "12,5kg\"\x1b[2J"));
  Finding float_syntax = cell(FindingKind::FloatConversion, 6, 330, "Forward_Accel", "110.5.0");
  float_syntax.error_position = 6;
  f.push_back(float_syntax);
  f.push_back(cell(FindingKind::NotInteger, 6, 340, "Hold_Volume", "1 200"));
  Finding int_syntax =
      cell(FindingKind::IntegerConversion, 7, 350, "Warp_Capacitor", "99999999999999999999");
  int_syntax.error_position = 19;
  f.push_back(int_syntax);
  Finding too_many = cell(FindingKind::TooManyCells, 8, 900, {}, {});
  too_many.cell = 116;
  too_many.limit = 116;
  f.push_back(too_many);
  Finding too_few = cell(FindingKind::TooFewCells, 9, 12, {}, {});
  too_few.cell = 2;
  too_few.limit = 116;
  f.push_back(too_few);
  f.push_back(nested(FindingKind::UnclosedGroup, 10, 500, "Dock", "dock", {}, {}));
  f.push_back(nested(FindingKind::TooManyValues, 10, 530, "Dock", "dock", {}, "7"));
  Finding nested_long = nested(FindingKind::NestedTextTooLong, 11, 600, "Cargo", "cargo",
                               "description", "A very long description");
  nested_long.limit = 11;
  f.push_back(nested_long);
  f.push_back(nested(FindingKind::CategoryNotFound, 11, 700, "Cargo_Import", "cargo_import", "Cat",
                     "Raw_Materials/Metal"));
  Finding cargo = nested(FindingKind::CargoPartNotFound, 12, 800, "Cargo", "cargo", "Category",
                         "Equipment/Mining");
  cargo.part = "mining_lazer";
  f.push_back(cargo);
  f.push_back(
      nested(FindingKind::NestedNotBoolean, 12, 850, "Cargo", "cargo", "missionCargo", "true"));
  f.push_back(
      nested(FindingKind::NestedNotInteger, 13, 860, "Cargo", "cargo", "quant", "caf\xe9%,:\r\n"));
  Finding nested_int = nested(FindingKind::NestedIntegerConversion, 13, 870, "Upgrades", "upgrades",
                              "mountoffset", "3-1");
  nested_int.error_position = 2;
  f.push_back(nested_int);
  f.push_back(nested(FindingKind::NestedNotFloat, 14, 880, "Mounts", "mounts", "volume", "1/2"));
  Finding nested_float =
      nested(FindingKind::NestedFloatConversion, 14, 890, "Light", "light", "scale", "1e");
  nested_float.error_position = 3;
  f.push_back(nested_float);
  f.push_back(nested(FindingKind::UnclosedLastGroup, 15, 900, "Dock", "dock", "", "{1;2"));
  f.push_back(cell(FindingKind::EmptyKey, 16, 0, {}, {}));
  Finding outside = cell(FindingKind::PathOutsideData, 17, 7, "Directory", "../../etc");
  outside.limit = static_cast<std::int64_t>(PathEscape::Climbs);
  f.push_back(outside);
  return f;
}

lint::DataCheckResult FixtureCheck::check(const lint::DataDirectory& directory,
                                          lint::LintWriter& writer) {
  std::ifstream table(directory.unit_table(), std::ios::binary);
  std::string header;
  std::getline(table, header);
  Tables schemas;
  create_tables(schemas);
  writer.check_header(map_unit_header(header, schemas), schemas.units);
  // Made as the real check makes them: each by the thread of the first finding that needs it.
  lint::SuggestionLists names;
  names.categories = lint::NameIndex([] { return std::span<const std::string_view>(kCategories); });
  names.part_names = lint::NameIndex([] { return std::span<const std::string_view>(kParts); });
  names.unit_directories =
      lint::NameIndex([] { return std::span<const std::string_view>(kUnitDirectories); });
  names.cockpits = lint::NameIndex([] { return std::span<const std::string_view>(kCockpits); });
  writer.set_context({&names, {}});
  // Chunks of findings rendered at once, written in order, as the checking threads do.
  const std::size_t chunks = static_cast<std::size_t>(std::max(threads_, 1));
  std::vector<std::string> texts(chunks);
  std::vector<std::thread> workers;
  for (std::size_t c = 0; c < chunks; ++c) {
    workers.emplace_back([this, c, chunks, &texts, &writer] {
      const std::unique_ptr<RenderState> state = writer.make_render_state();
      for (std::size_t i = c * findings_.size() / chunks; i < (c + 1) * findings_.size() / chunks;
           ++i)
        writer.render(findings_[i], texts[c], *state);
    });
  }
  for (std::thread& worker : workers) worker.join();
  for (const std::string& text : texts) writer.write(text);
  return {true, 14, {}};
}

}  // namespace unitcheck::testing
