#include "lint/header_checks.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "tables/text_map.h"

#include "lint/suggestions.h"

namespace unitcheck::lint {

namespace {

// The largest number of edits at which an unknown name counts as a misspelt column.
constexpr int kNearMissEdits = 2;

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

// The schema field an unknown name seems to mean: the fewest edits, then a field the header
// lacks, then schema order. Field 0 is the key and never meant. Its index, or -1.
int meant_field(std::string_view name, const MemTable& units, const std::vector<bool>& present) {
  int best = -1;
  int best_distance = kNearMissEdits + 1;
  bool best_present = true;
  for (int i = 1; i < units.field_count(); ++i) {
    const int distance = bounded_distance(name, units.field_at(i).name(), kNearMissEdits);
    if (distance > kNearMissEdits) continue;
    const bool is_present = present[static_cast<std::size_t>(i)];
    if (distance < best_distance || (distance == best_distance && best_present && !is_present)) {
      best = i;
      best_distance = distance;
      best_present = is_present;
    }
  }
  return best;
}

// Past this length a name is more than kNearMissEdits from every field: not worth a search.
std::size_t longest_field_name(const MemTable& units) {
  std::size_t longest = 0;
  for (int i = 1; i < units.field_count(); ++i)
    longest = std::max(longest, units.field_at(i).name().size());
  return longest;
}

HeaderFinding column_finding(HeaderProblem problem, const HeaderColumn& column) {
  HeaderFinding finding;
  finding.problem = problem;
  finding.column = column.index + 1;
  finding.offset = column.offset;
  finding.name = column.text;
  return finding;
}

// The encoding of a line that is not UTF-8 but UTF-16 or UTF-32, told by its byte-order mark
// or, without one, by the NUL bytes that ASCII letters leave in those encodings; empty when
// the line reads as UTF-8.
std::string_view wide_encoding(std::string_view line) {
  if (line.starts_with(std::string_view("\xff\xfe\0\0", 4))) return "UTF-32LE";
  if (line.starts_with(std::string_view("\0\0\xfe\xff", 4))) return "UTF-32BE";
  if (line.starts_with("\xff\xfe")) return "UTF-16LE";
  if (line.starts_with("\xfe\xff")) return "UTF-16BE";
  if (line.size() < 2) return {};
  // A line cut from such a file at its byte 0x0a may begin or end inside a character: look at
  // the share of NULs and at which side of the ASCII letters they fall.
  const auto nuls = std::count(line.begin(), line.end(), '\0');
  if (nuls * 4 < static_cast<std::int64_t>(line.size())) return {};
  if (nuls * 4 >= static_cast<std::int64_t>(line.size()) * 3) return "UTF-32";
  return line[0] == '\0' ? "UTF-16BE" : "UTF-16LE";
}

// Whether a header reads as a unit line: values where names should be (numbers, nested lists,
// booleans) in a quarter of its columns at least, as when the header and type lines were
// deleted.
bool holds_values(const UnitHeader& header) {
  std::int64_t values = 0;
  header.for_each_column([&](const HeaderColumn& column) {
    const std::string_view cell = column.text;
    if (!cell.empty() && (cell.front() == '{' || cell == "TRUE" || cell == "FALSE" ||
                          cell.find_first_not_of("0123456789.-+eE") == std::string_view::npos))
      ++values;
  });
  return values * 4 >= header.column_count;
}

}  // namespace

void check_header(const UnitHeader& header, const MemTable& units,
                  const std::function<void(const HeaderFinding&)>& report) {
  if (const std::string_view encoding = wide_encoding(header.line); !encoding.empty()) {
    HeaderFinding finding;
    finding.problem = HeaderProblem::NotUtf8;
    finding.encoding = encoding;
    return report(finding);
  }
  if (auto finding = wrong_separator(header.line)) return report(*finding);
  const std::vector<std::string_view> missing_names = missing_fields(header, units);
  // The key column is always mapped; past it, half of the schema's columns at least.
  const auto fields = static_cast<std::int64_t>(units.field_count());
  const auto named = fields - static_cast<std::int64_t>(missing_names.size());
  if (named * 2 < fields) {
    HeaderFinding finding;
    finding.problem = HeaderProblem::Unmapped;
    finding.named = named;
    finding.columns = fields;
    finding.holds_values = holds_values(header);
    return report(finding);
  }
  // Which schema fields the header names: near misses prefer the absent ones.
  TextSet missing;
  for (const std::string_view name : missing_names) missing.insert(name);
  const auto field_total = static_cast<std::size_t>(fields);
  std::vector<bool> present(field_total, true);
  for (std::size_t i = 1; i < field_total; ++i)
    present[i] = !missing.contains(units.field_at(static_cast<int>(i)).name());

  // Findings go out as the columns are walked: a line of a million unknown names holds none.
  std::vector<bool> meant(field_total, false);
  const std::size_t near_length = longest_field_name(units) + kNearMissEdits;
  for_each_column_fact(
      header, units,
      [&](const HeaderColumn& column) {
        const bool searched = !column.text.empty() && column.text.size() <= near_length;
        const int near = searched ? meant_field(column.text, units, present) : -1;
        HeaderFinding finding = column_finding(
            near >= 0 ? HeaderProblem::NearMiss : HeaderProblem::UnknownColumn, column);
        if (near >= 0) {
          finding.meant = units.field_at(near).name();
          meant[static_cast<std::size_t>(near)] = true;
        }
        report(finding);
      },
      [&](const RepeatedColumn& repeated) {
        HeaderFinding finding = column_finding(HeaderProblem::DuplicateColumn, repeated.column);
        finding.first_column = repeated.first_index + 1;
        report(finding);
      });
  for (std::size_t i = 1; i < field_total; ++i) {
    if (present[i] || meant[i]) continue;
    HeaderFinding finding;
    finding.problem = HeaderProblem::MissingColumn;
    finding.name = units.field_at(static_cast<int>(i)).name();
    report(finding);
  }
}

std::vector<HeaderFinding> check_header(const UnitHeader& header, const MemTable& units) {
  std::vector<HeaderFinding> findings;
  check_header(header, units, [&](const HeaderFinding& finding) { findings.push_back(finding); });
  return findings;
}

}  // namespace unitcheck::lint
