#include "lint/json_format.h"

#include "lint/json_text.h"
#include "lint/shown_value.h"
#include "lint/utf8.h"
#include "lint/version.h"

namespace unitcheck::lint {

namespace {

using Json = nlohmann::ordered_json;

void write_finding(const LintFinding& finding, std::string_view written_path, JsonText& json) {
  json.raw("{\"rule\":").plain_string(rule_info(finding.rule).id);
  json.raw(",\"severity\":").plain_string(severity_name(finding.severity));
  json.raw(",\"path\":").raw(written_path);
  json.raw(",\"line\":").number(finding.line);
  json.raw(",\"column\":").number(finding.column);
  json.raw(",\"end_column\":").number(finding.end_column);
  json.raw(",\"char_column\":").number(finding.char_column);
  json.raw(",\"end_char_column\":").number(finding.end_char_column);
  json.raw(",\"unit_column\":").string_or_null(finding.unit_column);
  json.raw(",\"table\":").string_or_null(finding.table);
  json.raw(",\"field\":").string_or_null(finding.field);
  // A long value is cut as messages cut it; value_length tells that it was, and how long it is.
  const std::string_view value = shown_value(finding.value);
  json.raw(",\"value\":").string(value);
  if (value.size() < finding.value.size())
    json.raw(",\"value_length\":").number(static_cast<std::int64_t>(finding.value.size()));
  if (!is_valid_utf8(value)) json.raw(",\"value_bytes\":").string(hex_bytes(value));
  json.raw(",\"message\":").string(finding.message);
  json.raw(",\"suggestion\":").string_or_null(finding.suggestion);
  // What an editor's quick fix does: the bytes of the line to replace, and with what.
  if (finding.fix.any()) {
    json.raw(",\"fix\":{\"column\":").number(finding.fix.column);
    json.raw(",\"end_column\":").number(finding.fix.end_column);
    json.raw(",\"replacement\":").string(finding.fix.replacement).raw("}");
  } else {
    json.raw(",\"fix\":null");
  }
  json.raw(",\"notes\":[");
  for (std::size_t k = 0; k < finding.notes.size(); ++k) {
    if (k > 0) json.raw(",");
    write_finding(finding.notes[k], written_path, json);
  }
  json.raw("]}");
}

class JsonFormat final : public Format {
 public:
  std::string begin() const override {
    const Json tool = {{"name", "unitlint"}, {"version", kVersion}};
    return "{\"tool\":" + dump_json(tool) + ",\"findings\":[";
  }

  std::string written_path(std::string_view path) const override {
    std::string text;
    JsonText(text).string(path);
    return text;
  }

  void item(const LintFinding& finding, std::string_view written_path,
            std::string& text) const override {
    JsonText json(text.append(separator()));
    write_finding(finding, written_path, json);
  }

  std::string end(const Summary& summary) const override {
    Json json;
    json["errors"] = summary.errors;
    json["warnings"] = summary.warnings;
    json["notes"] = summary.notes;
    json["omitted"] = summary.omitted_errors + summary.omitted_warnings;
    json["rows"] = summary.rows;
    json["checked"] = summary.checked;
    json["reason"] = text_or_null(summary.failure);
    json["path"] = summary.path;
    return "\n],\"summary\":" + dump_json(json) + "}\n";
  }

  std::string_view separator() const override { return ",\n"; }
  bool wants_char_columns() const override { return true; }
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
