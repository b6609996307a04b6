// Checks arbitrary bytes as the unit table's header line, and compares its two halves by edit
// distance: every finding names bytes of the line where it says, a near miss is near a column of
// the schema, every message is one line, every JSON text parses, and the distance is symmetric
// and bounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "lint/header_checks.h"
#include "lint/json_format.h"
#include "lint/lint_messages.h"
#include "lint/suggestions.h"
#include "support/describe.h"
#include "tables/schemas.h"
#include "validate/unit_header.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

void check_finding(std::string_view line, const unitcheck::lint::HeaderFinding& finding,
                   const unitcheck::lint::Format& json) {
  using unitcheck::lint::HeaderProblem;
  if (finding.column > 0) {
    require(finding.offset >= 0);
    require(static_cast<std::size_t>(finding.offset) + finding.name.size() <= line.size());
    require(line.substr(static_cast<std::size_t>(finding.offset), finding.name.size()) ==
            finding.name);
  }
  if (finding.problem == HeaderProblem::NearMiss) {
    require(unitcheck::lint::bounded_distance(finding.name, finding.meant, 2) <= 2);
    require(finding.name != finding.meant);
  }
  const unitcheck::lint::LintFinding described = unitcheck::lint::describe(finding);
  require(described.message.find_first_of("\r\n") == std::string::npos);
  std::string text;
  json.item(described, json.written_path("units/units.csv"), text);
  require(nlohmann::json::accept(text.substr(json.separator().size())));
}

void check_distance(std::string_view data) {
  const std::string_view a = data.substr(0, data.size() / 2);
  const std::string_view b = data.substr(data.size() / 2);
  for (int bound = 0; bound <= 3; ++bound) {
    const int d = unitcheck::lint::bounded_distance(a, b, bound);
    require(d >= 0 && d <= bound + 1);
    require(d == unitcheck::lint::bounded_distance(b, a, bound));
  }
  require(unitcheck::lint::bounded_distance(a, a, 0) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of its own, so that reads past the end are caught.
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto json = unitcheck::lint::make_format(unitcheck::lint::OutputFormat::Json, false);
  static const std::unique_ptr<unitcheck::Tables> schemas = [] {
    auto tables = std::make_unique<unitcheck::Tables>();
    unitcheck::create_tables(*tables);
    return tables;
  }();
  const unitcheck::UnitHeader header = unitcheck::map_unit_header(input, *schemas);
  for (const auto& finding : unitcheck::lint::check_header(header, schemas->units))
    check_finding(header.line, finding, *json);
  check_distance(input);
  return 0;
}
