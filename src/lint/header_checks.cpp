#include "lint/header_checks.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "lint/suggestions.h"

namespace unitcheck::lint {

namespace {

// The largest number of edits at which an unknown name counts as a misspelt column.
constexpr int kNearMissEdits = 2;

struct HeaderColumn {
  std::string_view name;
  std::int64_t offset;
};

std::vector<HeaderColumn> split_header(std::string_view line) {
  std::vector<HeaderColumn> columns;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(line.find(',', start), line.size());
    columns.push_back({line.substr(start, end - start), static_cast<std::int64_t>(start)});
    if (end == line.size()) break;
    start = end + 1;
  }
  return columns;
}

// The separator a line without commas seems to use, or none.
std::optional<HeaderFinding> wrong_separator(std::string_view line) {
  if (line.find(',') != std::string_view::npos) return std::nullopt;
  const auto semicolons = std::count(line.begin(), line.end(), ';');
  const auto tabs = std::count(line.begin(), line.end(), '\t');
  if (semicolons == 0 && tabs == 0) return std::nullopt;
  HeaderFinding finding;
  finding.problem = HeaderProblem::WrongSeparator;
  finding.separator = semicolons >= tabs ? ';' : '\t';
  finding.separators = std::max(semicolons, tabs);
  return finding;
}

// The schema column an unknown name seems to mean: the fewest edits, then a column the header
// lacks, then schema order. Column 0 is the key and never meant. Index into schema, or -1.
std::ptrdiff_t meant_column(std::string_view name, std::span<const ColumnSchema> schema,
                            const std::vector<bool>& present) {
  std::ptrdiff_t best = -1;
  int best_distance = kNearMissEdits + 1;
  bool best_present = true;
  for (std::size_t i = 1; i < schema.size(); ++i) {
    const int distance = bounded_distance(name, schema[i].name, kNearMissEdits);
    if (distance > kNearMissEdits) continue;
    if (distance < best_distance || (distance == best_distance && best_present && !present[i])) {
      best = static_cast<std::ptrdiff_t>(i);
      best_distance = distance;
      best_present = present[i];
    }
  }
  return best;
}

}  // namespace

std::vector<HeaderFinding> check_header(std::string_view line,
                                        std::span<const ColumnSchema> schema) {
  if (auto finding = wrong_separator(line)) return {*finding};
  std::unordered_map<std::string_view, std::size_t> schema_index;
  for (std::size_t i = 1; i < schema.size(); ++i) schema_index.emplace(schema[i].name, i);
  const std::vector<HeaderColumn> columns = split_header(line);
  // Which schema columns the header names exactly: near misses prefer the absent ones.
  std::vector<bool> present(schema.size(), false);
  for (std::size_t c = 1; c < columns.size(); ++c)
    if (auto it = schema_index.find(columns[c].name); it != schema_index.end())
      present[it->second] = true;

  std::vector<HeaderFinding> findings;
  std::vector<bool> meant(schema.size(), false);
  std::unordered_map<std::string_view, std::int64_t> first_seen;
  for (std::size_t c = 1; c < columns.size(); ++c) {
    const HeaderColumn& column = columns[c];
    HeaderFinding finding;
    finding.column = static_cast<std::int64_t>(c) + 1;
    finding.offset = column.offset;
    finding.name = column.name;
    if (!column.name.empty()) {
      const auto [it, first] = first_seen.emplace(column.name, finding.column);
      if (!first) {
        finding.problem = HeaderProblem::DuplicateColumn;
        finding.first_column = it->second;
        findings.push_back(finding);
        continue;
      }
    }
    if (schema_index.contains(column.name)) continue;
    const std::ptrdiff_t near =
        column.name.empty() ? -1 : meant_column(column.name, schema, present);
    if (near >= 0) {
      finding.problem = HeaderProblem::NearMiss;
      finding.meant = schema[static_cast<std::size_t>(near)].name;
      meant[static_cast<std::size_t>(near)] = true;
    } else {
      finding.problem = HeaderProblem::UnknownColumn;
    }
    findings.push_back(finding);
  }
  for (std::size_t i = 1; i < schema.size(); ++i) {
    if (present[i] || meant[i]) continue;
    HeaderFinding missing;
    missing.problem = HeaderProblem::MissingColumn;
    missing.name = schema[i].name;
    findings.push_back(missing);
  }
  return findings;
}

}  // namespace unitcheck::lint
