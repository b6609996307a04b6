#include "server/definition.h"

#include "server/diagnostics.h"
#include "server/file_uri.h"
#include "server/language_server.h"
#include "server/place_requests.h"

namespace unitcheck::server {

Json definition_json(const TextDocument& document, std::size_t line, const CellTarget& target,
                     PositionEncoding encoding) {
  Utf16Walk walk;
  const Json origin =
      range_json(document, line, target.value_begin, target.value_end, encoding, walk);
  std::uint64_t first = target.begin;
  std::uint64_t last = target.end;
  if (encoding == PositionEncoding::Utf16) {
    Utf16Walk along;
    first = utf16_units_before(target.line_text, target.begin, along);
    last = utf16_units_before(target.line_text, target.end, along);
  }
  const auto at = [&](std::uint64_t character) {
    return Json{{"line", target.line}, {"character", character}};
  };
  const Json range{{"start", at(first)}, {"end", at(last)}};
  return Json::array({Json{{"originSelectionRange", origin},
                           {"targetUri", file_uri_from_path(target.path)},
                           {"targetRange", range},
                           {"targetSelectionRange", range}}});
}

// textDocument/definition: where the value under the cursor leads, or null.
void LanguageServer::definition(const Json& id, const Json& params) {
  const std::optional<CellRequest> request = cell_request(params);
  if (!request) {
    send(
        error_response(id, ErrorCode::InvalidParams, "definition needs a document and a position"));
    return;
  }
  OpenDocument* document = documents_.find(request->uri);
  if (document == nullptr || document->place.role != DocumentRole::UnitTable ||
      request->position.line >= document->text.line_count()) {
    send(result_response(id, nullptr));
    return;
  }
  const CellQuery query = cell_query(*document, request->position);
  const std::optional<CellTarget> target = checks_.cell_target(query);
  send(result_response(id, target ? definition_json(document->text, query.line, *target, encoding_)
                                  : Json(nullptr)));
}

}  // namespace unitcheck::server
