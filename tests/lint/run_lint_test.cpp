#include "lint/run_lint.h"

#include <gtest/gtest.h>

#include <new>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "lint/exit_status.h"
#include "platform/failure.h"
#include "support/lint_fixture.h"
#include "support/temp_dir.h"
#include "tables/schemas.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {
namespace {

using Json = nlohmann::json;

// The header naming every column of the schema; replace changes one name.
std::string header(std::string_view from = {}, std::string_view to = {}) {
  std::string text = "Key";
  for (const ColumnSchema& column : find_table_schema("units")->columns.subspan(1))
    text.append(",").append(column.name == from ? to : column.name);
  return text;
}

struct Outcome {
  int status;
  std::string out, err;
};

// Runs unitlint's command line in a data directory "mod" whose unit table has the given header,
// the findings coming from a stand-in check on threads.
Outcome run(std::vector<const char*> arguments, std::string_view header_line,
            std::vector<Finding> findings, const testing::TempDir& dir, int threads = 1,
            bool terminal = false, const char* no_color = nullptr) {
  dir.write("mod/units/units.csv", std::string(header_line) + "\n");
  const std::string directory = dir / "mod";
  arguments.insert(arguments.begin(), "unitlint");
  arguments.push_back(directory.c_str());
  Outcome outcome;
  StringOutput out(outcome.out), err(outcome.err);
  testing::FixtureCheck check(std::move(findings), threads);
  outcome.status =
      run_command_line(parse_command_line(static_cast<int>(arguments.size()), arguments.data()),
                       {out, err, terminal, no_color}, check);
  return outcome;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(RunLint, TextReportIsOneCompilerStyleLineAFindingThenTheSummary) {
  testing::TempDir dir;
  const std::string path = dir / "mod/units/units.csv";
  const Outcome outcome = run({}, header("Hull", "hull"), testing::sample_findings(), dir, 4);
  EXPECT_EQ(outcome.status, kExitFindings);
  EXPECT_EQ(outcome.err, "");
  const auto lines = lines_of(outcome.out);
  // More findings than a screenful: their counts by rule follow them, one line per rule.
  const std::size_t found = 1u + kFindingKinds;
  ASSERT_EQ(lines.size(), found + 1u + found + 1u);
  EXPECT_EQ(lines[found], "findings by rule:");
  const std::size_t hull = header().find(",Hull,") + 2;
  EXPECT_EQ(lines.front(), path + ":1:" + std::to_string(hull) +
                               ": error: header column 24, \"hull\", is not a column of the unit "
                               "table (names match exactly, letter case included); did you mean "
                               "\"Hull\"? [unknown-column-near-miss]");
  EXPECT_EQ(lines[5], path +
                          ":5:301: error: Jump_Drive_Present: \"flase\" is not a boolean (TRUE, "
                          "true, FALSE, false, 1 or 0); did you mean \"false\"? [not-boolean]");
  EXPECT_EQ(lines.back(), "22 errors, 3 warnings in 14 rows of " + path);
  // Every finding in reading order, although rendered on four threads.
  for (std::size_t i = 2; i < found; ++i)
    EXPECT_LE(std::stoi(lines[i - 1].substr(path.size() + 1)),
              std::stoi(lines[i].substr(path.size() + 1)));
}

TEST(RunLint, TextLinesStayOneLineWhateverThePath) {
  testing::TempDir dir;
  dir.write("a\nb:1:1: error: fake/units/units.csv", header() + "\n");
  const std::string directory = dir / "a\nb:1:1: error: fake";
  const char* arguments[] = {"unitlint", directory.c_str()};
  std::string out, err;
  StringOutput out_text(out), err_text(err);
  testing::FixtureCheck check(testing::sample_findings(), 2);
  run_command_line(parse_command_line(2, arguments), {out_text, err_text}, check);
  const std::string shown = dir / "a\\x0ab:1:1: error: fake/units/units.csv";
  const auto lines = lines_of(out);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kFindingKinds) + 1);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].rfind(shown + ":", 0), 0u);
  EXPECT_EQ(lines.back(), "21 errors, 3 warnings in 14 rows of " + shown);
}

TEST(RunLint, WarningsPassUnlessStrictAndACleanRunSaysSo) {
  testing::TempDir dir;
  const std::string path = dir / "mod/units/units.csv";
  const std::string extra = header() + ",Notes";
  Outcome outcome = run({}, extra, {}, dir);
  EXPECT_EQ(outcome.status, kExitClean);
  EXPECT_EQ(lines_of(outcome.out).back(), "0 errors, 1 warning in 14 rows of " + path);
  EXPECT_EQ(run({"--strict"}, extra, {}, dir).status, kExitFindings);
  outcome = run({"--strict"}, header(), {}, dir);
  EXPECT_EQ(outcome.status, kExitClean);
  EXPECT_EQ(outcome.out, "0 errors, 0 warnings in 14 rows of " + path + "\n");
}

TEST(RunLint, ColorOnlyWhenAskedOrOnATerminalWithoutNoColor) {
  testing::TempDir dir;
  const std::string path = dir / "mod/units/units.csv";
  const std::vector<Finding> one = {testing::sample_findings()[4]};
  const std::string colored = "\x1b[1m" + path +
                              ":5:301:\x1b[0m \x1b[1;31merror:\x1b[0m Jump_Drive_Present: "
                              "\"flase\" is not a boolean (TRUE, true, FALSE, false, 1 or 0); did "
                              "you mean \"false\"? [\x1b[1;31mnot-boolean\x1b[0m]";
  EXPECT_EQ(lines_of(run({"--color=always"}, header(), one, dir).out).front(), colored);
  EXPECT_EQ(lines_of(run({}, header(), one, dir, 1, true).out).front(), colored);
  const std::string plain = lines_of(run({}, header(), one, dir, 1, true, "1").out).front();
  EXPECT_EQ(plain.find('\x1b'), std::string::npos);
  EXPECT_EQ(run({"--color=never"}, header(), one, dir, 1, true).out.find('\x1b'),
            std::string::npos);
  EXPECT_EQ(run({"-f", "json"}, header(), one, dir, 1, true).out.find('\x1b'), std::string::npos);
}

TEST(RunLint, JsonIsOneDocumentWhateverTheThreadsAndBytes) {
  testing::TempDir dir;
  for (const int threads : {1, 3, 8}) {
    const Outcome outcome =
        run({"--format=json"}, header("Mass", "mass"), testing::sample_findings(), dir, threads);
    EXPECT_EQ(outcome.status, kExitFindings);
    const Json document = Json::parse(outcome.out);  // throws on anything but one document
    const Json& findings = document["findings"];
    ASSERT_EQ(findings.size(), 1u + kFindingKinds);
    EXPECT_EQ(findings[0]["rule"], "unknown-column-near-miss");
    EXPECT_EQ(findings[0]["suggestion"], "Mass");
    EXPECT_EQ(findings[0]["line"], 1);
    const Json& cargo = findings[16];
    EXPECT_EQ(cargo["rule"], "unknown-cargo");
    EXPECT_EQ(cargo["path"], dir / "mod/units/units.csv");
    EXPECT_EQ(cargo["line"], 12);
    EXPECT_EQ(cargo["column"], 801);
    EXPECT_EQ(cargo["end_column"], 817);
    EXPECT_EQ(cargo["unit_column"], "Cargo");
    EXPECT_EQ(cargo["table"], "cargo");
    EXPECT_EQ(cargo["field"], "Category");
    EXPECT_EQ(cargo["value"], "Equipment/Mining");
    EXPECT_EQ(cargo["suggestion"], "mining_laser");
    EXPECT_FALSE(cargo.contains("value_bytes"));
    EXPECT_TRUE(findings[11]["unit_column"].is_null());  // a line has no column
    // A byte that is no UTF-8 becomes U+FFFD; the exact bytes come in hexadecimal.
    const Json& latin1 = findings[18];
    EXPECT_EQ(latin1["value"], "caf\xef\xbf\xbd%,:\r\n");
    EXPECT_EQ(latin1["value_bytes"], "636166e9252c3a0d0a");
    EXPECT_EQ(document["summary"], Json({{"errors", 22},
                                         {"warnings", 3},
                                         {"notes", 0},
                                         {"omitted", 0},
                                         {"rows", 14},
                                         {"checked", true},
                                         {"reason", nullptr},
                                         {"path", dir / "mod/units/units.csv"}}));
    EXPECT_EQ(document["tool"]["name"], "unitlint");
  }
  const Json empty = Json::parse(run({"-fjson"}, header(), {}, dir).out);
  EXPECT_EQ(empty["findings"], Json::array());
}

TEST(RunLint, SarifResultsPointAtTheirRulesAndEncodeThePath) {
  testing::TempDir dir;
  dir.write("a b%c/units/units.csv", header() + "\n");
  const std::string directory = dir / "a b%c";
  const char* arguments[] = {"unitlint", "-f", "sarif", directory.c_str()};
  std::string out, err;
  StringOutput out_text(out), err_text(err);
  testing::FixtureCheck check(testing::sample_findings(), 2);
  EXPECT_EQ(run_command_line(parse_command_line(4, arguments), {out_text, err_text}, check),
            kExitFindings);
  const Json log = Json::parse(out);
  EXPECT_EQ(log["version"], "2.1.0");
  const Json& run = log["runs"][0];
  const Json& rules = run["tool"]["driver"]["rules"];
  EXPECT_EQ(rules.size(), all_rules().size());
  ASSERT_EQ(run["results"].size(), static_cast<std::size_t>(kFindingKinds));
  for (const Json& result : run["results"]) {
    EXPECT_EQ(rules[result["ruleIndex"].get<std::size_t>()]["id"], result["ruleId"]);
    const Json& location = result["locations"][0]["physicalLocation"];
    const std::string uri = location["artifactLocation"]["uri"];
    EXPECT_TRUE(uri.ends_with("/a%20b%25c/units/units.csv")) << uri;
    EXPECT_GE(location["region"]["endColumn"], location["region"]["startColumn"]);
  }
  EXPECT_EQ(run["results"][4]["message"]["text"],
            "Jump_Drive_Present: \"flase\" is not a boolean (TRUE, true, FALSE, false, 1 or 0); "
            "did you mean \"false\"?");
  EXPECT_EQ(run["results"][4]["properties"]["suggestion"], "false");
  EXPECT_EQ(run["invocations"][0]["executionSuccessful"], true);
}

TEST(RunLint, GithubCommandsEscapeHostilePathsAndMessages) {
  testing::TempDir dir;
  dir.write("x,y:z%\r\n::warning::w/units/units.csv", header() + "\n");
  const std::string directory = dir / "x,y:z%\r\n::warning::w";
  const char* arguments[] = {"unitlint", "--format=github", "--max-findings=100",
                             directory.c_str()};
  std::string out, err;
  StringOutput out_text(out), err_text(err);
  std::vector<Finding> findings = testing::sample_findings();
  testing::FixtureCheck check(findings, 1);
  run_command_line(parse_command_line(4, arguments), {out_text, err_text}, check);
  const auto lines = lines_of(out);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kFindingKinds) + 1);
  // Controls are escaped as in messages before the property's own escapes.
  const std::string file = dir / "x%2Cy%3Az%25\\x0d\\x0a%3A%3Awarning%3A%3Aw/units/units.csv";
  EXPECT_EQ(lines[17], "::error file=" + file +
                           ",line=13,col=861,title=nested-integer-characters::Cargo: cargo.quant "
                           "\"caf\\xe9%25,:\\x0d\\x0a\" is not an integer: byte 1 ('c') is not a "
                           "digit or minus sign");
  for (const std::string& line : lines) EXPECT_EQ(line.find('\r'), std::string::npos);
  EXPECT_EQ(lines.back().rfind("21 errors, 3 warnings in 14 rows of ", 0), 0u);
}

// A check that cannot finish: the report still ends, the run says why, the status is 2.
enum class Ending { Returns, ThrowsFailure, RunsOutOfMemory };
struct FailingCheck final : DataCheck {
  Ending ending = Ending::Returns;
  DataCheckResult check(const DataDirectory&, LintWriter& writer) override {
    Tables schemas;
    create_tables(schemas);
    writer.check_header(map_unit_header("Key,Name", schemas), schemas.units);
    if (ending == Ending::ThrowsFailure) throw Failure("EFOpenError", "Unable to open file \"x\"");
    if (ending == Ending::RunsOutOfMemory) throw std::bad_alloc();
    return {false, 3, "cannot read 'x': Input/output error"};
  }
};

TEST(RunLint, AnUnfinishedCheckEndsTheDocumentAndExitsTwo) {
  testing::TempDir dir;
  dir.write("units/units.csv", "Key\n");
  const std::string directory = dir / "";
  struct Expected {
    Ending ending;
    std::string reason;
  };
  const Expected endings[] = {{Ending::Returns, "cannot read 'x': Input/output error"},
                              {Ending::ThrowsFailure, "Unable to open file \"x\""},
                              {Ending::RunsOutOfMemory, "out of memory"}};
  for (const char* format : {"-fjson", "-fsarif", "-ftext"}) {
    const char* arguments[] = {"unitlint", format, "--strict", directory.c_str()};
    for (const Expected& expected : endings) {
      std::string out, err;
      StringOutput out_text(out), err_text(err);
      FailingCheck check;
      check.ending = expected.ending;
      EXPECT_EQ(run_command_line(parse_command_line(4, arguments), {out_text, err_text}, check),
                kExitCannotCheck);
      EXPECT_EQ(err, "unitlint: " + expected.reason + "\n");
      if (format == std::string_view("-ftext")) {
        // The header's finding, whole, and no summary line for a run that did not finish.
        EXPECT_EQ(out.find("[header-unmapped]\n"), out.size() - 18) << out;
        continue;
      }
      const Json document = Json::parse(out);
      if (format == std::string_view("-fsarif")) {
        const Json& run = document["runs"][0];
        EXPECT_EQ(run["results"].size(), 1u);
        EXPECT_EQ(run["invocations"][0]["executionSuccessful"], false);
        EXPECT_NE(run["invocations"][0]["toolExecutionNotifications"][0]["message"]["text"]
                      .get<std::string>()
                      .find(expected.reason),
                  std::string::npos);
        continue;
      }
      EXPECT_EQ(document["summary"]["checked"], false);
      EXPECT_EQ(document["summary"]["reason"], expected.reason);
      ASSERT_EQ(document["findings"].size(), 1u);
      EXPECT_EQ(document["findings"][0]["rule"], "header-unmapped");
    }
  }
}

// Standard output that refuses every byte.
struct FullOutput final : Output {
  void write(std::string_view) override {}
  bool failed() override { return true; }
  int error_number() const override { return ENOSPC; }
};

TEST(RunLint, NoDataDirectoryOrARefusedOutputIsStatusTwoWithOneLine) {
  testing::TempDir dir;
  const std::string missing = dir / "mod";
  const char* arguments[] = {"unitlint", missing.c_str()};
  std::string out, err;
  StringOutput out_text(out), err_text(err);
  testing::FixtureCheck check({});
  EXPECT_EQ(run_command_line(parse_command_line(2, arguments), {out_text, err_text}, check),
            kExitCannotCheck);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err,
            "unitlint: cannot read '" + missing + "/units/units.csv': No such file or directory\n");

  err.clear();
  FullOutput full;
  const char* schema[] = {"unitlint", "--schema"};
  EXPECT_EQ(run_command_line(parse_command_line(2, schema), {full, err_text}, check),
            kExitCannotCheck);
  EXPECT_EQ(err, "unitlint: cannot write the report: No space left on device\n");
}

TEST(RunLint, SchemaListsEveryColumnAndNestedListInTextAndJson) {
  testing::FixtureCheck check({});
  std::string out, err;
  StringOutput out_text(out), err_text(err);
  const char* text[] = {"unitlint", "--schema"};
  EXPECT_EQ(run_command_line(parse_command_line(2, text), {out_text, err_text}, check), 0);
  const auto lines = lines_of(out);
  EXPECT_EQ(lines[0], "units: 116 columns");
  EXPECT_EQ(lines[3], "  3  Name                           text      45");
  // The first column as headers name it; the columns declared integer that hold no number
  // say so, and why they pass unchecked as numbers.
  EXPECT_EQ(lines[1], "  1  Key                            text      50");
  EXPECT_EQ(lines[7],
            "  7  Textual_Description            integer      (declared integer, never read as a "
            "number: holds text, not checked)");
  EXPECT_EQ(lines[98],
            " 98  Upgrades                       integer       nested list upgrades (declared "
            "integer, holds a nested list: its fields are checked)");
  EXPECT_EQ(lines[118], "Key is the unit's key, whatever the header's first cell says.");
  EXPECT_EQ(lines[120], "upgrades: 3 fields, the nested list of column Upgrades");
  out.clear();
  const char* json[] = {"unitlint", "--schema", "--format", "json"};
  EXPECT_EQ(run_command_line(parse_command_line(4, json), {out_text, err_text}, check), 0);
  const Json schema = Json::parse(out);
  ASSERT_EQ(schema["units"].size(), 116u);
  EXPECT_EQ(schema["units"][45]["name"], "Jump_Drive_Present");
  EXPECT_EQ(schema["units"][45]["type"], "boolean");
  EXPECT_TRUE(schema["units"][45]["size"].is_null());
  EXPECT_EQ(schema["units"][106]["nested_list"], "cargo");
  // Scripts read the first column's name as the game's table has it; header_name is Key.
  EXPECT_EQ(schema["units"][0]["name"], "index");
  EXPECT_EQ(schema["units"][0]["header_name"], "Key");
  EXPECT_EQ(schema["units"][2]["header_name"], "Name");
  EXPECT_TRUE(schema["units"][2]["type_note"].is_null());
  std::size_t unchecked = 0;
  for (const Json& column : schema["units"]) unchecked += column["type_note"].is_string();
  EXPECT_EQ(unchecked, 12u);
  std::set<std::string> tables;
  std::size_t fields = 0;
  for (const Json& list : schema["nested_lists"]) {
    tables.insert(list["table"].get<std::string>());
    fields += list["fields"].size();
  }
  EXPECT_EQ(tables, (std::set<std::string>{"upgrades", "subunit", "light", "mounts", "dock",
                                           "cargo_import", "cargo"}));
  EXPECT_EQ(fields, 3u + 11u + 10u + 17u + 6u + 5u + 10u);
  EXPECT_EQ(err, "");
}

}  // namespace
}  // namespace unitcheck::lint
