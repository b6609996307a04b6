#include "server/completion.h"

#include "server/diagnostics.h"

namespace unitcheck::server {
namespace {

// CompletionItemKind: Value 12, File 17, Folder 19.
int item_kind(std::string_view kind) {
  if (kind == "folder") return 19;
  if (kind == "file") return 17;
  return 12;
}

}  // namespace

Json completion_json(const TextDocument& document, std::size_t line,
                     const CompletionChoices& choices, PositionEncoding encoding) {
  Json items = Json::array();
  if (!choices.values.empty()) {
    Utf16Walk walk;
    const Json range = range_json(document, line, choices.begin, choices.end, encoding, walk);
    const int kind = item_kind(choices.kind);
    for (const std::string& value : choices.values) {
      items.push_back(Json{{"label", value},
                           {"kind", kind},
                           {"detail", choices.kind},
                           {"textEdit", {{"range", range}, {"newText", value}}}});
    }
  }
  return Json{{"isIncomplete", choices.incomplete}, {"items", std::move(items)}};
}

}  // namespace unitcheck::server
