#include "server/code_actions.h"

#include "server/diagnostics.h"

namespace unitcheck::server {

Json quick_fixes_json(const OpenDocument& document, std::size_t begin, std::size_t end,
                      PositionEncoding encoding) {
  Json actions = Json::array();
  const TextDocument& text = document.text;
  for (const DocumentFinding& finding : document.findings) {
    if (!finding.replacement || finding.line >= text.line_count()) continue;
    const std::size_t start = text.line_start(finding.line);
    if (start + finding.begin > end || begin > start + finding.end) continue;
    Json diagnostic = diagnostics_json(text, {&finding, 1}, encoding)[0];
    Json edit{{"range", diagnostic["range"]}, {"newText", *finding.replacement}};
    actions.push_back(
        Json{{"title", "Replace with \"" + *finding.replacement + "\""},
             {"kind", "quickfix"},
             {"isPreferred", true},
             {"diagnostics", Json::array({std::move(diagnostic)})},
             {"edit", {{"changes", {{document.uri, Json::array({std::move(edit)})}}}}}});
  }
  return actions;
}

bool wants_quick_fixes(const Json& params) {
  const Json context = params.value("context", Json::object());
  if (!context.is_object() || !context.contains("only") || !context["only"].is_array()) {
    return true;
  }
  for (const Json& kind : context["only"]) {
    if (kind == "quickfix") return true;
  }
  return false;
}

}  // namespace unitcheck::server
