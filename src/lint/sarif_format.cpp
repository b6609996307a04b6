#include "lint/sarif_format.h"

#include <algorithm>
#include <array>

#include "lint/json_format.h"
#include "lint/json_text.h"
#include "lint/shown_value.h"
#include "lint/version.h"

namespace unitcheck::lint {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::int64_t kMostResults = 25'000;

constexpr std::string_view kSchemaUri =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

bool is_unreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// The tool has no web page; its manual page is where a reader learns more about it.
constexpr std::string_view kInformationUri = "man:unitlint(1)";

// GitHub's code scanning wants a fullDescription beside the short one: the help text serves.
Json rule_json(const RuleInfo& rule) {
  return {{"id", rule.id},
          {"shortDescription", {{"text", rule.summary}}},
          {"fullDescription", {{"text", rule.help}}},
          {"help", {{"text", rule.help}}},
          {"defaultConfiguration", {{"level", severity_name(rule.severity)}}}};
}

Json driver_json() {
  Json rules = Json::array();
  for (const RuleInfo& rule : all_rules()) rules.push_back(rule_json(rule));
  return {{"name", "unitlint"},
          {"version", kVersion},
          {"informationUri", kInformationUri},
          {"rules", std::move(rules)}};
}

// Appends the bytes of path, those that are neither unreserved nor '/' as %XX.
void append_percent_encoded(std::string_view path, std::string& uri) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const auto kept = [](char c) { return is_unreserved(c) || c == '/'; };
  // Runs of bytes kept as they are go in whole; the others as %XX.
  while (!path.empty()) {
    const auto escaped = std::find_if_not(path.begin(), path.end(), kept);
    uri.append(path.data(), static_cast<std::size_t>(escaped - path.begin()));
    if (escaped == path.end()) break;
    const auto byte = static_cast<unsigned char>(*escaped);
    uri += '%';
    uri += kDigits[byte >> 4];
    uri += kDigits[byte & 15];
    path.remove_prefix(static_cast<std::size_t>(escaped - path.begin()) + 1);
  }
}

void write_properties(const LintFinding& finding, JsonText& json) {
  auto member = [&json, first = true](std::string_view key, std::string_view text) mutable {
    json.raw(first ? "{\"" : ",\"").raw(key).raw("\":").string(text);
    first = false;
  };
  if (!finding.unit_column.empty()) member("unitColumn", finding.unit_column);
  if (!finding.table.empty()) member("table", finding.table);
  if (!finding.field.empty()) member("field", finding.field);
  // Cut as the json format cuts it, with valueLength when it is.
  const std::string_view value = shown_value(finding.value);
  member("value", value);
  if (value.size() < finding.value.size())
    json.raw(",\"valueLength\":").number(static_cast<std::int64_t>(finding.value.size()));
  if (!finding.suggestion.empty()) member("suggestion", finding.suggestion);
  json.raw("}");
}

// A result's first members, up to its message's text: the rule's id, index and level.
void write_head(Rule rule, Severity severity, JsonText& json) {
  json.raw("{\"ruleId\":").plain_string(rule_info(rule).id);
  json.raw(",\"ruleIndex\":").number(static_cast<int>(rule));
  json.raw(",\"level\":").plain_string(severity_name(severity));
  json.raw(",\"message\":{\"text\":");
}

void write_region(const LintFinding& finding, JsonText& json) {
  json.raw("\"region\":{\"startLine\":").number(finding.line);
  json.raw(",\"startColumn\":").number(finding.char_column);
  json.raw(",\"endColumn\":").number(finding.end_char_column).raw("}");
}

// A finding's notes, as locations related to it: each with its rule's id in its message, as
// a location has no rule of its own.
void write_related(const LintFinding& finding, std::string_view written_uri, JsonText& json) {
  json.raw(",\"relatedLocations\":[");
  for (std::size_t k = 0; k < finding.notes.size(); ++k) {
    const LintFinding& note = finding.notes[k];
    json.raw(k > 0 ? ",{\"id\":" : "{\"id\":").number(static_cast<std::int64_t>(k));
    json.raw(",\"physicalLocation\":{\"artifactLocation\":{\"uri\":").raw(written_uri).raw("},");
    write_region(note, json);
    std::string text = "[";
    text.append(rule_info(note.rule).id).append("] ").append(note.message);
    json.raw("},\"message\":{\"text\":").string(text).raw("}}");
  }
  json.raw("]");
}

void write_result(const LintFinding& finding, std::string_view head, std::string_view written_uri,
                  JsonText& json) {
  if (head.empty()) {
    write_head(finding.rule, finding.severity, json);
  } else {
    json.raw(head);
  }
  json.string(finding.message);
  json.raw("},\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":");
  json.raw(written_uri).raw("},");
  write_region(finding, json);
  json.raw("}}]");
  if (!finding.notes.empty()) write_related(finding, written_uri, json);
  json.raw(",\"properties\":");
  write_properties(finding, json);
  json.raw("}");
}

// What the run's invocation says: whether it checked the data, and what it left out or why it
// stopped.
Json invocation_json(const Summary& summary) {
  Json invocation = {{"executionSuccessful", summary.checked}};
  Json notifications = Json::array();
  if (!summary.checked)
    notifications.push_back(
        {{"level", "error"},
         {"message",
          {{"text", "the data could not be checked: " + std::string(summary.failure)}}}});
  const std::int64_t omitted = summary.omitted_errors + summary.omitted_warnings;
  if (omitted > 0) {
    std::string text = std::to_string(omitted) + " findings (" +
                       std::to_string(summary.omitted_errors) + " errors, " +
                       std::to_string(summary.omitted_warnings) +
                       " warnings) are left out of this log, past its limit of results; "
                       "unitlint --format json lists them all";
    notifications.push_back({{"level", "warning"}, {"message", {{"text", std::move(text)}}}});
  }
  if (!notifications.empty()) invocation["toolExecutionNotifications"] = std::move(notifications);
  return invocation;
}

class SarifFormat final : public Format {
 public:
  // Each rule's head written once: results repeat it.
  SarifFormat() {
    for (const RuleInfo& rule : all_rules()) {
      std::string& head = heads_[static_cast<std::size_t>(rule.rule)];
      JsonText json(head);
      write_head(rule.rule, rule.severity, json);
    }
  }

  std::string begin() const override {
    return "{\"$schema\":" + dump_json(kSchemaUri) +
           ",\"version\":\"2.1.0\",\"runs\":[{\"tool\":{\"driver\":" + dump_json(driver_json()) +
           "},\"columnKind\":\"unicodeCodePoints\",\"results\":[";
  }

  // The path as a URI reference, as a JSON string.
  std::string written_path(std::string_view path) const override {
    std::string text;
    JsonText(text).string(artifact_uri(path));
    return text;
  }

  void item(const LintFinding& finding, std::string_view written_uri,
            std::string& text) const override {
    const std::string& head = heads_[static_cast<std::size_t>(finding.rule)];
    // A finding whose severity is not its rule's own writes its head anew.
    const bool usual = finding.severity == rule_info(finding.rule).severity;
    // The fixed text of a result is under 300 bytes; its strings mostly need no escapes.
    const std::size_t expected = 300 + head.size() + written_uri.size() + finding.message.size() +
                                 finding.notes.size() * (200 + written_uri.size()) +
                                 finding.unit_column.size() + finding.table.size() +
                                 finding.field.size() + shown_value(finding.value).size() +
                                 finding.suggestion.size();
    JsonText json(text.append(separator()), expected);
    write_result(finding, usual ? std::string_view(head) : std::string_view(), written_uri, json);
  }

  std::string end(const Summary& summary) const override {
    const Json invocations = Json::array({invocation_json(summary)});
    const Json properties = {
        {"errors", summary.errors}, {"warnings", summary.warnings},
        {"notes", summary.notes},   {"omitted", summary.omitted_errors + summary.omitted_warnings},
        {"rows", summary.rows},     {"checked", summary.checked}};
    return "\n],\"invocations\":" + dump_json(invocations) +
           ",\"properties\":" + dump_json(properties) + "}]}\n";
  }

  std::string_view separator() const override { return ",\n"; }
  bool wants_char_columns() const override { return true; }
  // Code scanning refuses a run of more than 25,000 results, and shows errors before warnings.
  ReportLimits default_limits() const override {
    ReportLimits limits;
    limits.total = kMostResults;
    limits.errors_first = true;
    return limits;
  }

 private:
  std::array<std::string, kRuleCount> heads_;
};

}  // namespace

std::unique_ptr<Format> make_sarif_format() {
  return std::make_unique<SarifFormat>();
}

std::string artifact_uri(std::string_view path) {
  std::string uri;
  uri.reserve(path.size() + 24);
  if (path.starts_with('/')) {
    // A relative reference beginning with '/' would not combine with a base URI, and one
    // beginning with "//" names a host: an absolute path is a file URI with an empty host
    // (file:///srv/mod/...). Its leading slashes go down to one: on this system "//srv" is
    // "/srv", and file://// would read as a UNC share on a host named srv.
    const std::size_t slashes = std::min(path.find_first_not_of('/'), path.size());
    path.remove_prefix(slashes - 1);
    uri = "file://";
  }
  append_percent_encoded(path, uri);
  return uri;
}

}  // namespace unitcheck::lint
