#include "lint/sarif_format.h"

#include "lint/json_format.h"
#include "lint/version.h"

namespace unitcheck::lint {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kSchemaUri =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json";

bool is_unreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

Json rule_json(const RuleInfo& rule) {
  return {{"id", rule.id},
          {"shortDescription", {{"text", rule.summary}}},
          {"help", {{"text", rule.help}}},
          {"defaultConfiguration", {{"level", severity_name(rule.severity)}}}};
}

Json driver_json() {
  Json rules = Json::array();
  for (const RuleInfo& rule : all_rules()) rules.push_back(rule_json(rule));
  return {{"name", "unitlint"}, {"version", kVersion}, {"rules", std::move(rules)}};
}

Json region_json(const LintFinding& finding) {
  return {{"startLine", finding.line},
          {"startColumn", finding.column},
          {"endColumn", finding.end_column}};
}

Json properties_json(const LintFinding& finding) {
  Json properties = Json::object();
  if (!finding.unit_column.empty()) properties["unitColumn"] = finding.unit_column;
  if (!finding.table.empty()) properties["table"] = finding.table;
  if (!finding.field.empty()) properties["field"] = finding.field;
  properties["value"] = finding.value;
  if (!finding.suggestion.empty()) properties["suggestion"] = finding.suggestion;
  return properties;
}

Json result_json(const LintFinding& finding, std::string_view path) {
  const Json location = {
      {"physicalLocation",
       {{"artifactLocation", {{"uri", artifact_uri(path)}}}, {"region", region_json(finding)}}}};
  return {{"ruleId", rule_info(finding.rule).id},     {"ruleIndex", static_cast<int>(finding.rule)},
          {"level", severity_name(finding.severity)}, {"message", {{"text", finding.message}}},
          {"locations", Json::array({location})},     {"properties", properties_json(finding)}};
}

class SarifFormat final : public Format {
 public:
  std::string begin() const override {
    return "{\"$schema\":" + dump_json(kSchemaUri) +
           ",\"version\":\"2.1.0\",\"runs\":[{\"tool\":{\"driver\":" + dump_json(driver_json()) +
           "},\"columnKind\":\"unicodeCodePoints\",\"results\":[";
  }

  void item(const LintFinding& finding, std::string_view path, std::string& text) const override {
    text.append(separator()).append(dump_json(result_json(finding, path)));
  }

  std::string end(const Summary& summary) const override {
    const Json invocations = Json::array({{{"executionSuccessful", summary.checked}}});
    const Json properties = {{"errors", summary.errors},
                             {"warnings", summary.warnings},
                             {"rows", summary.rows},
                             {"checked", summary.checked}};
    return "\n],\"invocations\":" + dump_json(invocations) +
           ",\"properties\":" + dump_json(properties) + "}]}\n";
  }

  std::string_view separator() const override { return ",\n"; }
};

}  // namespace

std::unique_ptr<Format> make_sarif_format() {
  return std::make_unique<SarifFormat>();
}

std::string artifact_uri(std::string_view path) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : path) {
    if (is_unreserved(c) || c == '/') {
      uri += c;
    } else {
      uri += '%';
      uri += kDigits[static_cast<unsigned char>(c) >> 4];
      uri += kDigits[static_cast<unsigned char>(c) & 15];
    }
  }
  return uri;
}

}  // namespace unitcheck::lint
