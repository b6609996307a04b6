// Runs unitlint in-process in each of its formats on a data directory made from the input (as
// whole_run_fuzz makes it), and unitcheck beside it on the same directory. Besides running clean
// under the sanitizers, the reports must hold together:
// - every format gives the same findings in the same order (severity, line, column, message once
//   its escapes are undone), and the exit status follows their count;
// - the JSON and SARIF documents parse (every string in them valid UTF-8 and escaped), each
//   place has a line and columns in order, and a SARIF result's rule index names its rule id;
// - the text report is one line per finding in the compilers' form, then the summary;
// - each workflow command stays on its line, whatever the values hold;
// - unitlint's errors on the unit table's data lines are as many as unitcheck's diagnostic lines.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "driver/run.h"
#include "lint/command_line.h"
#include "lint/core_data_check.h"
#include "lint/output.h"
#include "lint/run_lint.h"
#include "whole_run_support.h"

namespace {

using unitcheck::fuzz::require;
using unitcheck::fuzz::split_lines;
using Json = nlohmann::json;

struct Report {
  int status = 0;
  std::string out;
};

Report run_unitlint(const std::string& directory, const char* format) {
  const char* arguments[] = {"unitlint", "--format", format, "--color", "never", directory.c_str()};
  Report report;
  std::string err;
  unitcheck::lint::StringOutput out(report.out), err_out(err);
  unitcheck::lint::CoreDataCheck check;
  report.status = unitcheck::lint::run_command_line(
      unitcheck::lint::parse_command_line(std::size(arguments), arguments),
      {out, err_out, false, nullptr}, check);
  require(err.empty());
  return report;
}

// A finding as a report gives it. Text and workflow commands carry the message's bytes; JSON
// and SARIF carry the same bytes with invalid UTF-8 replaced, so they are compared apart.
struct Seen {
  std::string severity;
  std::int64_t line = 0;
  std::int64_t column = 0;
  std::string message;
  bool in_unit_table = false;
  bool operator==(const Seen&) const = default;
};

bool is_error(const Seen& seen) {
  require(seen.severity == "error" || seen.severity == "warning");
  return seen.severity == "error";
}

std::int64_t errors(const std::vector<Seen>& findings) {
  return std::count_if(findings.begin(), findings.end(), is_error);
}

// Errors on the unit table's lines after the header.
std::int64_t data_line_errors(const std::vector<Seen>& findings) {
  return std::count_if(findings.begin(), findings.end(), [](const Seen& seen) {
    return is_error(seen) && seen.in_unit_table && seen.line != 1;
  });
}

bool is_unit_table(std::string_view path) {
  return path.ends_with("units/units.csv");
}

std::int64_t number(std::string_view digits) {
  require(!digits.empty() && digits.size() < 19 &&
          digits.find_first_not_of("0123456789") == std::string_view::npos);
  std::int64_t value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

Seen seen_in_json(const std::string& severity, const Json& line, const Json& column,
                  const Json& end_column, const Json& message, std::string_view path) {
  const Seen seen{severity, line.get<std::int64_t>(), column.get<std::int64_t>(),
                  message.get<std::string>(), is_unit_table(path)};
  require(seen.line >= 1 && seen.column >= 1 && end_column.get<std::int64_t>() >= seen.column);
  return seen;
}

std::vector<Seen> json_findings(const std::string& out) {
  const Json document = Json::parse(out);
  std::vector<Seen> findings;
  for (const Json& f : document.at("findings"))
    findings.push_back(seen_in_json(f.at("severity"), f.at("line"), f.at("column"),
                                    f.at("end_column"), f.at("message"),
                                    f.at("path").get<std::string>()));
  const Json& summary = document.at("summary");
  require(summary.at("checked") == true && summary.at("errors") == errors(findings) &&
          summary.at("warnings") == std::ssize(findings) - errors(findings));
  return findings;
}

std::vector<Seen> sarif_findings(const std::string& out) {
  const Json document = Json::parse(out);
  const Json& run = document.at("runs").at(0);
  const Json& rules = run.at("tool").at("driver").at("rules");
  std::vector<Seen> findings;
  for (const Json& result : run.at("results")) {
    require(rules.at(result.at("ruleIndex").get<std::size_t>()).at("id") == result.at("ruleId"));
    const Json& physical = result.at("locations").at(0).at("physicalLocation");
    const Json& region = physical.at("region");
    findings.push_back(seen_in_json(result.at("level"), region.at("startLine"),
                                    region.at("startColumn"), region.at("endColumn"),
                                    result.at("message").at("text"),
                                    physical.at("artifactLocation").at("uri").get<std::string>()));
  }
  const Json& properties = run.at("properties");
  require(properties.at("errors") == errors(findings) &&
          properties.at("warnings") == std::ssize(findings) - errors(findings));
  return findings;
}

// The text report: "PATH:LINE:COL: SEVERITY: MESSAGE [RULE]" per finding, PATH the unit table's
// or the part list's path as the report shows it, then the summary.
std::vector<Seen> text_findings(const std::string& out, std::string_view unit_table,
                                std::string_view part_list) {
  const std::vector<std::string_view> lines = split_lines(out);
  require(!lines.empty());
  std::vector<Seen> findings;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    std::string_view line = lines[i];
    Seen seen;
    seen.in_unit_table = line.starts_with(unit_table) && line[unit_table.size()] == ':';
    require(seen.in_unit_table || (line.starts_with(part_list) && line[part_list.size()] == ':'));
    line.remove_prefix((seen.in_unit_table ? unit_table.size() : part_list.size()) + 1);
    const std::size_t line_end = line.find(':');
    const std::size_t column_end = line.find(": ", line_end + 1);
    const std::size_t severity_end = line.find(": ", column_end + 2);
    const std::size_t rule_begin = line.rfind(" [");
    require(severity_end != std::string_view::npos && rule_begin != std::string_view::npos &&
            rule_begin > severity_end && line.ends_with("]"));
    seen.line = number(line.substr(0, line_end));
    seen.column = number(line.substr(line_end + 1, column_end - line_end - 1));
    seen.severity = line.substr(column_end + 2, severity_end - column_end - 2);
    seen.message = line.substr(severity_end + 2, rule_begin - severity_end - 2);
    findings.push_back(std::move(seen));
  }
  const std::int64_t error_count = errors(findings);
  const std::int64_t warning_count = std::ssize(findings) - error_count;
  const std::string summary = std::to_string(error_count) + " error" +
                              (error_count == 1 ? "" : "s") + ", " + std::to_string(warning_count) +
                              " warning" + (warning_count == 1 ? "" : "s") + " in ";
  require(lines.back().starts_with(summary) && lines.back().ends_with(unit_table));
  return findings;
}

// A workflow command's value with its %XX escapes undone; nothing else may be escaped.
std::string unescaped(std::string_view value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      text.push_back(value[i]);
      continue;
    }
    const std::string_view code = value.substr(i + 1, 2);
    require(code == "25" || code == "0D" || code == "0A" || code == "3A" || code == "2C");
    text.push_back(code == "25"   ? '%'
                   : code == "0D" ? '\r'
                   : code == "0A" ? '\n'
                   : code == "3A" ? ':'
                                  : ',');
    i += 2;
  }
  return text;
}

// "::SEVERITY file=PATH,line=LINE,col=COL,title=RULE::MESSAGE" per finding, each on its own
// line, then the summary as plain text.
std::vector<Seen> github_findings(const std::string& out) {
  const std::vector<std::string_view> lines = split_lines(out);
  require(!lines.empty());
  std::vector<Seen> findings;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    std::string_view line = lines[i];
    require(line.find('\r') == std::string_view::npos && line.starts_with("::"));
    const std::size_t severity_end = line.find(" file=");
    const std::size_t line_at = line.find(",line=");
    const std::size_t column_at = line.find(",col=", line_at);
    const std::size_t title_at = line.find(",title=", column_at);
    const std::size_t message_at = line.find("::", title_at);
    require(message_at != std::string_view::npos);
    Seen seen;
    seen.severity = line.substr(2, severity_end - 2);
    seen.in_unit_table =
        is_unit_table(unescaped(line.substr(severity_end + 6, line_at - severity_end - 6)));
    seen.line = number(line.substr(line_at + 6, column_at - line_at - 6));
    seen.column = number(line.substr(column_at + 5, title_at - column_at - 5));
    seen.message = unescaped(line.substr(message_at + 2));
    findings.push_back(std::move(seen));
  }
  require(!lines.back().starts_with("::") && lines.back().find('\r') == std::string_view::npos);
  return findings;
}

// unitcheck's diagnostic lines: a cell or nested value, or a line's cell count. They come
// between the header's lines and the end of the rows; the line of unknown header names before
// them may begin with any text.
std::int64_t unitcheck_diagnostics(const std::string& directory) {
  std::string transcript;
  unitcheck::Console console(transcript);
  require(unitcheck::run_program(console, unitcheck::Invocation{directory, std::nullopt}) == 0);
  const std::vector<std::string_view> lines = split_lines(transcript);
  auto line = std::find(lines.begin(), lines.end(), "Header Processed.");
  require(line != lines.end());
  std::int64_t diagnostics = 0;
  for (++line; line != lines.end() && *line != "Database processed."; ++line)
    if (line->starts_with("row ") || line->starts_with("Too Many fields: Row ") ||
        line->starts_with("Fields Error, Expected "))
      ++diagnostics;
  return diagnostics;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const unitcheck::fuzz::DataDirectory directory;
  unitcheck::fuzz::write_data_files(directory, {reinterpret_cast<const char*>(data), size});
  const std::string& dir = directory.argument();

  const Report json = run_unitlint(dir, "json");
  const std::vector<Seen> findings = json_findings(json.out);
  require(json.status == (errors(findings) > 0 ? 1 : 0));
  const Report sarif = run_unitlint(dir, "sarif");
  require(sarif.status == json.status && sarif_findings(sarif.out) == findings);
  const Report text = run_unitlint(dir, "text");
  const std::vector<Seen> in_text =
      text_findings(text.out, dir + "units/units.csv", dir + "master_part_list.csv");
  require(text.status == json.status && in_text.size() == findings.size());
  for (std::size_t i = 0; i < findings.size(); ++i) {
    Seen alike = in_text[i];
    alike.message = findings[i].message;
    require(alike == findings[i]);
  }
  const Report github = run_unitlint(dir, "github");
  require(github.status == json.status && github_findings(github.out) == in_text);

  require(data_line_errors(findings) == unitcheck_diagnostics(dir));
  return 0;
}
