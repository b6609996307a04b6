// Runs unitlint in-process in each of its formats on a data directory made from the input (as
// whole_run_fuzz makes it), and unitcheck beside it on the same directory. Besides running clean
// under the sanitizers, the reports must hold together:
// - every format gives the same findings with the same notes (rule, severity, line, column,
//   message once its escapes are undone); JSON and text in the order found, SARIF and workflow
//   commands errors first, and the exit status follows the count of errors;
// - JSON and SARIF count columns in code points, text and workflow commands in bytes;
// - the JSON and SARIF documents parse (every string in them valid UTF-8 and escaped), each
//   place has a line and columns in order, and a SARIF result's rule index names its rule id;
// - the text report is one line per finding and one per note in the compilers' form, then the
//   counts by rule when they pass a screenful, then the summary;
// - each workflow command stays on its line, whatever the values hold, and its message is the
//   finding's with its first notes folded in;
// - every summary counts what its report lists, and nothing is left out below the limits;
// - unitlint's errors on the unit table's data lines (and the notes that stand for them) are as
//   many as unitcheck's diagnostic lines;
// - the HTML page holds only its own elements and attributes, whatever the data holds, and a
//   row per finding and per note while the page lists them all.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <span>
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

// Far past what an input can produce, yet a limit: it takes the place of the workflow commands'
// ten of each severity, and runs the text report through the gate that limits take.
constexpr const char* kNoRealLimit = "--max-findings=1000000000";
// The results a SARIF log lists at most, errors first.
constexpr std::size_t kSarifResults = 25'000;
// The notes a workflow command folds into its message; the rest are counted.
constexpr std::size_t kFoldedNotes = 10;
// Past this many findings and notes the text report ends with its counts by rule.
constexpr std::int64_t kScreenful = 24;
// The bytes of a value that reports show at most.
constexpr std::size_t kShownValueBytes = 200;

struct Report {
  int status = 0;
  std::string out;
};

Report run_unitlint(const std::string& directory, const char* format, bool limited) {
  std::vector<const char*> arguments = {"unitlint", "--format", format, "--color", "never"};
  if (limited) arguments.push_back(kNoRealLimit);
  arguments.push_back(directory.c_str());
  Report report;
  std::string err;
  unitcheck::lint::StringOutput out(report.out), err_out(err);
  unitcheck::lint::CoreDataCheck check;
  report.status = unitcheck::lint::run_command_line(
      unitcheck::lint::parse_command_line(static_cast<int>(arguments.size()), arguments.data()),
      {out, err_out, false, nullptr}, check);
  require(err.empty());
  return report;
}

// A finding or a note as a report gives it. Text and workflow commands carry the message's
// bytes; JSON and SARIF carry the same bytes with invalid UTF-8 replaced, so they are compared
// apart.
struct Seen {
  std::string rule;
  std::string severity;
  std::int64_t line = 0;
  std::int64_t column = 0;
  std::string message;
  bool in_unit_table = false;
  bool operator==(const Seen&) const = default;
};

// A finding with the notes reported under it.
struct Cause {
  Seen seen;
  std::vector<Seen> notes;
  bool operator==(const Cause&) const = default;
};

using Causes = std::vector<Cause>;

bool is_error(const Cause& cause) {
  require(cause.seen.severity == "error" || cause.seen.severity == "warning");
  return cause.seen.severity == "error";
}

std::int64_t errors(const Causes& causes) {
  return std::count_if(causes.begin(), causes.end(), is_error);
}

std::int64_t notes(const Causes& causes) {
  std::int64_t count = 0;
  for (const Cause& cause : causes) count += std::ssize(cause.notes);
  return count;
}

// The causes as a report that lists errors first and at most `most` shows them.
Causes errors_first(const Causes& causes, std::size_t most) {
  Causes listed;
  for (const bool errors_pass : {true, false})
    for (const Cause& cause : causes)
      if (is_error(cause) == errors_pass && listed.size() < most) listed.push_back(cause);
  return listed;
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

// A place as JSON or SARIF gives it; columns in order.
Seen seen_in_json(std::string rule, std::string severity, const Json& line, const Json& column,
                  const Json& end_column, std::string message, std::string_view path) {
  Seen seen{std::move(rule),          std::move(severity),
            line.get<std::int64_t>(), column.get<std::int64_t>(),
            std::move(message),       is_unit_table(path)};
  require(seen.line >= 1 && seen.column >= 1 && end_column.get<std::int64_t>() >= seen.column);
  return seen;
}

// A JSON value is at most 200 bytes of the cell's (value_bytes holds them when they are not
// UTF-8); one that was cut, by at most the three bytes before a character, says its length.
void require_bounded_value(const Json& f) {
  const std::size_t bytes = f.contains("value_bytes")
                                ? f.at("value_bytes").get<std::string>().size() / 2
                                : f.at("value").get<std::string>().size();
  require(bytes <= kShownValueBytes);
  if (!f.contains("value_length")) return;
  require(bytes + 3 >= kShownValueBytes &&
          f.at("value_length").get<std::int64_t>() > static_cast<std::int64_t>(kShownValueBytes));
}

// A JSON finding, its columns counted in bytes or in code points.
Seen json_seen(const Json& f, bool code_points) {
  require(f.at("char_column") <= f.at("column") && f.at("end_char_column") <= f.at("end_column"));
  require_bounded_value(f);
  return seen_in_json(f.at("rule"), f.at("severity"), f.at("line"),
                      f.at(code_points ? "char_column" : "column"),
                      f.at(code_points ? "end_char_column" : "end_column"), f.at("message"),
                      f.at("path").get<std::string>());
}

// A note lies on its cause's line of the same file and has no notes of its own.
void require_note_of(const Seen& note, const Seen& cause) {
  require(note.severity == "note" && note.line == cause.line &&
          note.in_unit_table == cause.in_unit_table);
}

Causes json_findings(const Json& document, bool code_points) {
  Causes causes;
  for (const Json& f : document.at("findings")) {
    Cause& cause = causes.emplace_back();
    cause.seen = json_seen(f, code_points);
    for (const Json& n : f.at("notes")) {
      require(n.at("notes").empty() && n.at("path") == f.at("path"));
      cause.notes.push_back(json_seen(n, code_points));
      require_note_of(cause.notes.back(), cause.seen);
    }
  }
  const Json& summary = document.at("summary");
  require(summary.at("checked") == true && summary.at("reason").is_null() &&
          summary.at("omitted") == 0 && summary.at("errors") == errors(causes) &&
          summary.at("warnings") == std::ssize(causes) - errors(causes) &&
          summary.at("notes") == notes(causes));
  return causes;
}

// A related location is a note, its rule's id leading its message as "[RULE] ".
Seen sarif_note(const Json& related, const Json& cause_location) {
  const Json& physical = related.at("physicalLocation");
  require(physical.at("artifactLocation") == cause_location.at("artifactLocation"));
  const std::string text = related.at("message").at("text");
  const std::size_t rule_end = text.find("] ");
  require(text.starts_with("[") && rule_end != std::string::npos);
  const Json& region = physical.at("region");
  return seen_in_json(text.substr(1, rule_end - 1), "note", region.at("startLine"),
                      region.at("startColumn"), region.at("endColumn"), text.substr(rule_end + 2),
                      physical.at("artifactLocation").at("uri").get<std::string>());
}

Causes sarif_findings(const std::string& out, const Causes& found) {
  const Json document = Json::parse(out);
  const Json& run = document.at("runs").at(0);
  require(run.at("columnKind") == "unicodeCodePoints");
  const Json& rules = run.at("tool").at("driver").at("rules");
  Causes causes;
  for (const Json& result : run.at("results")) {
    require(rules.at(result.at("ruleIndex").get<std::size_t>()).at("id") == result.at("ruleId"));
    const Json& physical = result.at("locations").at(0).at("physicalLocation");
    const Json& region = physical.at("region");
    Cause& cause = causes.emplace_back();
    cause.seen = seen_in_json(result.at("ruleId"), result.at("level"), region.at("startLine"),
                              region.at("startColumn"), region.at("endColumn"),
                              result.at("message").at("text"),
                              physical.at("artifactLocation").at("uri").get<std::string>());
    if (!result.contains("relatedLocations")) continue;
    require(!result.at("relatedLocations").empty());
    for (const Json& related : result.at("relatedLocations")) {
      cause.notes.push_back(sarif_note(related, physical));
      require_note_of(cause.notes.back(), cause.seen);
    }
  }
  // The counts are of every finding, listed or not.
  const Json& properties = run.at("properties");
  require(properties.at("checked") == true && properties.at("errors") == errors(found) &&
          properties.at("warnings") == std::ssize(found) - errors(found) &&
          properties.at("notes") == notes(found) &&
          properties.at("omitted") == std::ssize(found) - std::ssize(causes) &&
          run.at("invocations").at(0).at("executionSuccessful") == true);
  return causes;
}

// One line of the text report: "PATH:LINE:COL: SEVERITY: MESSAGE [RULE]", PATH the unit
// table's or the part list's path as the report shows it.
Seen text_line(std::string_view line, std::string_view unit_table, std::string_view part_list) {
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
  seen.rule = line.substr(rule_begin + 2, line.size() - rule_begin - 3);
  return seen;
}

// Findings and notes counted by rule id.
std::map<std::string, std::int64_t> by_rule(const Causes& causes) {
  std::map<std::string, std::int64_t> counts;
  for (const Cause& cause : causes) {
    ++counts[cause.seen.rule];
    for (const Seen& note : cause.notes) ++counts[note.rule];
  }
  return counts;
}

// The counts by rule ("findings by rule:", then "   COUNT  RULE" per rule, the most frequent
// first) hold what the findings hold.
void require_by_rule(std::span<const std::string_view> lines, const Causes& causes) {
  require(!lines.empty() && lines.front() == "findings by rule:");
  std::map<std::string, std::int64_t> listed;
  std::int64_t previous = std::numeric_limits<std::int64_t>::max();
  for (const std::string_view line : lines.subspan(1)) {
    const std::size_t rule_at = line.find("  ", line.find_first_not_of(' '));
    require(rule_at != std::string_view::npos && line.size() > rule_at + 2);
    const std::int64_t count =
        number(line.substr(line.find_first_not_of(' '), rule_at - line.find_first_not_of(' ')));
    require(count > 0 && count <= previous &&
            listed.emplace(line.substr(rule_at + 2), count).second);
    previous = count;
  }
  require(listed == by_rule(causes));
}

// The text report: a line per finding with its notes' lines after it, then the counts by rule
// past a screenful, then the summary.
Causes text_findings(const std::string& out, std::string_view unit_table,
                     std::string_view part_list) {
  const std::vector<std::string_view> lines = split_lines(out);
  require(!lines.empty());
  Causes causes;
  std::size_t i = 0;
  for (; i + 1 < lines.size() && lines[i] != "findings by rule:"; ++i) {
    Seen seen = text_line(lines[i], unit_table, part_list);
    if (seen.severity != "note") {
      causes.push_back({std::move(seen), {}});
      continue;
    }
    require(!causes.empty());
    require_note_of(seen, causes.back().seen);
    causes.back().notes.push_back(std::move(seen));
  }
  const std::int64_t error_count = errors(causes);
  const std::int64_t warning_count = std::ssize(causes) - error_count;
  const bool screenful = error_count + warning_count + notes(causes) > kScreenful;
  require(screenful == (i + 1 < lines.size()));
  if (screenful) require_by_rule(std::span(lines).subspan(i, lines.size() - 1 - i), causes);
  const std::string summary = std::to_string(error_count) + " error" +
                              (error_count == 1 ? "" : "s") + ", " + std::to_string(warning_count) +
                              " warning" + (warning_count == 1 ? "" : "s") + " in ";
  require(lines.back().starts_with(summary) && lines.back().ends_with(unit_table));
  return causes;
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

// An annotation with the notes folded into its message, and how many more it only counts.
struct Annotation {
  Cause cause;
  std::int64_t more_notes = 0;
};

// A folded note, "note: column COL: MESSAGE [RULE]", on its cause's line.
Seen folded_note(std::string_view text, const Seen& cause) {
  require(text.starts_with("note: column "));
  text.remove_prefix(13);
  const std::size_t column_end = text.find(": ");
  const std::size_t rule_begin = text.rfind(" [");
  require(column_end != std::string_view::npos && rule_begin != std::string_view::npos &&
          rule_begin > column_end && text.ends_with("]"));
  Seen note{std::string(text.substr(rule_begin + 2, text.size() - rule_begin - 3)),
            "note",
            cause.line,
            number(text.substr(0, column_end)),
            std::string(text.substr(column_end + 2, rule_begin - column_end - 2)),
            cause.in_unit_table};
  return note;
}

// Splits the notes off an annotation's message: a message holds no line feed of its own (every
// format writes it on one line), so each one after it begins a note, or the count of the rest.
void unfold_notes(Annotation& annotation) {
  std::string& message = annotation.cause.seen.message;
  std::size_t at = message.find('\n');
  const std::string folded = at == std::string::npos ? std::string() : message.substr(at + 1);
  if (at != std::string::npos) message.resize(at);
  std::string_view rest = folded;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view part = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (part.starts_with("and ")) {
      // The count of the rest ends the message.
      require(rest.empty() && part.ends_with(" more notes on this line"));
      annotation.more_notes = number(part.substr(4, part.size() - 4 - 24));
      require(annotation.more_notes > 0);
      continue;
    }
    annotation.cause.notes.push_back(folded_note(part, annotation.cause.seen));
  }
  require(annotation.cause.notes.size() <= kFoldedNotes &&
          (annotation.more_notes == 0 || annotation.cause.notes.size() == kFoldedNotes));
}

// "::SEVERITY file=PATH,line=LINE,col=COL,title=RULE::MESSAGE" per finding, each on its own
// line, then the summary as plain text.
std::vector<Annotation> github_findings(const std::string& out) {
  const std::vector<std::string_view> lines = split_lines(out);
  require(!lines.empty());
  std::vector<Annotation> annotations;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    std::string_view line = lines[i];
    require(line.find('\r') == std::string_view::npos && line.starts_with("::"));
    const std::size_t severity_end = line.find(" file=");
    const std::size_t line_at = line.find(",line=");
    const std::size_t column_at = line.find(",col=", line_at);
    const std::size_t title_at = line.find(",title=", column_at);
    const std::size_t message_at = line.find("::", title_at);
    require(message_at != std::string_view::npos);
    Seen& seen = annotations.emplace_back().cause.seen;
    seen.severity = line.substr(2, severity_end - 2);
    seen.in_unit_table =
        is_unit_table(unescaped(line.substr(severity_end + 6, line_at - severity_end - 6)));
    seen.line = number(line.substr(line_at + 6, column_at - line_at - 6));
    seen.column = number(line.substr(column_at + 5, title_at - column_at - 5));
    seen.rule = unescaped(line.substr(title_at + 7, message_at - title_at - 7));
    seen.message = unescaped(line.substr(message_at + 2));
    unfold_notes(annotations.back());
  }
  require(!lines.back().starts_with("::") && lines.back().find('\r') == std::string_view::npos);
  return annotations;
}

// The annotations hold the causes, errors first, each with its first notes folded in and the
// rest counted.
void require_annotations(const std::vector<Annotation>& annotations, const Causes& causes) {
  const Causes listed = errors_first(causes, causes.size());
  require(annotations.size() == listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    Cause shown = listed[i];
    const std::size_t folded = std::min(shown.notes.size(), kFoldedNotes);
    shown.notes.resize(folded);
    require(annotations[i].cause == shown &&
            annotations[i].more_notes == std::ssize(listed[i].notes) - std::ssize(shown.notes));
  }
}

// The values past the end of a group that one finding stands for: one, or as many as its
// message says, "... holds N values more than its M fields" (several merged into one).
std::int64_t extra_values(const std::string& message) {
  const std::size_t holds = message.rfind(" holds ");
  require(holds != std::string::npos);
  const std::string_view rest = std::string_view(message).substr(holds + 7);
  if (rest.starts_with("more values than ")) return 1;
  const std::size_t count_end = rest.find(" values more than ");
  require(count_end != std::string_view::npos);
  const std::int64_t values = number(rest.substr(0, count_end));
  require(values >= 2);
  return values;
}

// How many of unitcheck's diagnostic lines a finding or note stands for: an error on one of the
// unit table's data lines stands for one, or for each value past the end of a group; so does a
// note, which a line's wrong cell count made of an error (a last group left open and a path
// leading out of the data directory only warn, and are no diagnostic as notes either).
std::int64_t diagnostics_of(const Seen& seen) {
  if (!seen.in_unit_table || seen.line == 1) return 0;
  if (seen.severity == "warning" || seen.rule == "nested-unclosed-last-group" ||
      seen.rule == "path-outside-data")
    return 0;
  return seen.rule == "nested-too-many-values" ? extra_values(seen.message) : 1;
}

std::int64_t data_line_diagnostics(const Causes& causes) {
  std::int64_t count = 0;
  for (const Cause& cause : causes) {
    count += diagnostics_of(cause.seen);
    for (const Seen& note : cause.notes) count += diagnostics_of(note);
  }
  return count;
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

// The text report's findings hold the JSON ones, their messages apart.
void require_same_but_messages(const Causes& in_text, const Causes& in_json) {
  require(in_text.size() == in_json.size());
  for (std::size_t i = 0; i < in_json.size(); ++i) {
    Cause alike = in_text[i];
    require(alike.notes.size() == in_json[i].notes.size());
    alike.seen.message = in_json[i].seen.message;
    for (std::size_t k = 0; k < alike.notes.size(); ++k)
      alike.notes[k].message = in_json[i].notes[k].message;
    require(alike == in_json[i]);
  }
}

// The page's own elements and attributes: a tag of any other name came from the data.
bool is_page_tag(std::string_view name) {
  constexpr std::string_view kTags[] = {
      "!DOCTYPE", "html", "head", "meta", "title",  "style",   "body",    "header", "h1",    "h2",
      "dl",       "dt",   "dd",   "code", "strong", "main",    "table",   "thead",  "tbody", "tr",
      "th",       "td",   "a",    "span", "mark",   "details", "summary", "p"};
  return std::find(std::begin(kTags), std::end(kTags), name) != std::end(kTags);
}

bool is_page_attribute(std::string_view name) {
  constexpr std::string_view kAttributes[] = {"lang", "charset", "http-equiv", "content",
                                              "name", "id",      "class",      "href",
                                              "open", "html",    "aria-hidden"};
  return std::find(std::begin(kAttributes), std::end(kAttributes), name) != std::end(kAttributes);
}

// Every tag of the page is one it writes, with attributes it writes, their values quoted; no
// control byte but the line feed. The stylesheet holds no '<'.
void require_own_markup(std::string_view page) {
  for (const char c : page) require(static_cast<unsigned char>(c) >= 0x20 || c == '\n');
  for (std::size_t open = page.find('<'); open != std::string_view::npos;
       open = page.find('<', open + 1)) {
    const std::size_t close = page.find('>', open);
    require(close != std::string_view::npos);
    std::string_view tag = page.substr(open + 1, close - open - 1);
    if (tag.starts_with('/')) tag.remove_prefix(1);
    const std::size_t name_end = std::min(tag.find(' '), tag.size());
    require(is_page_tag(tag.substr(0, name_end)));
    tag.remove_prefix(name_end);
    while (!tag.empty()) {
      require(tag.front() == ' ');
      tag.remove_prefix(1);
      const std::size_t attribute_end = std::min(tag.find_first_of(" ="), tag.size());
      require(is_page_attribute(tag.substr(0, attribute_end)));
      tag.remove_prefix(attribute_end);
      if (!tag.starts_with("=\"")) continue;
      const std::size_t value_end = tag.find('"', 2);
      require(value_end != std::string_view::npos);
      tag.remove_prefix(value_end + 1);
    }
  }
}

std::int64_t occurrences(std::string_view text, std::string_view part) {
  std::int64_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size()))
    ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const unitcheck::fuzz::DataDirectory directory;
  unitcheck::fuzz::write_data_files(directory, {reinterpret_cast<const char*>(data), size});
  const std::string& dir = directory.argument();

  const Report json = run_unitlint(dir, "json", false);
  const Json document = Json::parse(json.out);
  const Causes in_bytes = json_findings(document, false);
  const Causes in_code_points = json_findings(document, true);
  require(json.status == (errors(in_bytes) > 0 ? 1 : 0));

  const Report sarif = run_unitlint(dir, "sarif", false);
  require(sarif.status == json.status &&
          sarif_findings(sarif.out, in_code_points) == errors_first(in_code_points, kSarifResults));

  const Report text = run_unitlint(dir, "text", true);
  const Causes in_text =
      text_findings(text.out, dir + "units/units.csv", dir + "master_part_list.csv");
  require(text.status == json.status);
  require_same_but_messages(in_text, in_bytes);

  const Report github = run_unitlint(dir, "github", true);
  require(github.status == json.status);
  require_annotations(github_findings(github.out), in_text);

  require(data_line_diagnostics(in_bytes) == unitcheck_diagnostics(dir));

  const Report html = run_unitlint(dir, "html", false);
  require(html.status == json.status);
  require_own_markup(html.out);
  // Below 100 findings every rule's are listed.
  if (in_bytes.size() < 100) {
    require(occurrences(html.out, "<tr id=\"f") == std::ssize(in_bytes));
    require(occurrences(html.out, "<tr class=\"note\">") == notes(in_bytes));
  }
  return 0;
}
