#include "lint/json_format.h"

#include "lint/utf8.h"
#include "lint/version.h"

namespace unitcheck::lint {

namespace {

using Json = nlohmann::ordered_json;

Json finding_json(const LintFinding& finding, std::string_view path) {
  Json item;
  item["rule"] = rule_info(finding.rule).id;
  item["severity"] = severity_name(finding.severity);
  item["path"] = path;
  item["line"] = finding.line;
  item["column"] = finding.column;
  item["end_column"] = finding.end_column;
  item["unit_column"] = text_or_null(finding.unit_column);
  item["table"] = text_or_null(finding.table);
  item["field"] = text_or_null(finding.field);
  item["value"] = finding.value;
  if (!is_valid_utf8(finding.value)) item["value_bytes"] = hex_bytes(finding.value);
  item["message"] = finding.message;
  item["suggestion"] = text_or_null(finding.suggestion);
  return item;
}

class JsonFormat final : public Format {
 public:
  std::string begin() const override {
    const Json tool = {{"name", "unitlint"}, {"version", kVersion}};
    return "{\"tool\":" + dump_json(tool) + ",\"findings\":[";
  }

  void item(const LintFinding& finding, std::string_view path, std::string& text) const override {
    text.append(separator()).append(dump_json(finding_json(finding, path)));
  }

  std::string end(const Summary& summary) const override {
    Json json;
    json["errors"] = summary.errors;
    json["warnings"] = summary.warnings;
    json["rows"] = summary.rows;
    json["checked"] = summary.checked;
    json["path"] = summary.path;
    return "\n],\"summary\":" + dump_json(json) + "}\n";
  }

  std::string_view separator() const override { return ",\n"; }
};

}  // namespace

std::unique_ptr<Format> make_json_format() {
  return std::make_unique<JsonFormat>();
}

std::string dump_json(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

nlohmann::ordered_json text_or_null(std::string_view text) {
  return text.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(text);
}

}  // namespace unitcheck::lint
