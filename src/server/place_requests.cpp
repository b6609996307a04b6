#include "server/place_requests.h"

#include "server/completion.h"
#include "server/content_change.h"
#include "server/hover.h"
#include "server/language_server.h"
#include "server/unit_symbols.h"

namespace unitcheck::server {
namespace {

constexpr std::string_view kHover = "textDocument/hover";
constexpr std::string_view kCompletion = "textDocument/completion";
constexpr std::string_view kSymbols = "textDocument/documentSymbol";

// What a request about a document that holds no units gets: no hover, no values, no symbols.
Json nothing_for(std::string_view method) {
  if (method == kHover) return nullptr;
  if (method == kCompletion) return Json{{"isIncomplete", false}, {"items", Json::array()}};
  return Json::array();
}

}  // namespace

std::optional<CellRequest> cell_request(const Json& params) {
  const std::string* uri = document_uri(params);
  if (uri == nullptr || !params.is_object()) return std::nullopt;
  const std::optional<Position> position = position_from_json(params.value("position", Json()));
  if (!position) return std::nullopt;
  return CellRequest{*uri, *position};
}

CellQuery LanguageServer::cell_query(const OpenDocument& document, Position position) const {
  const TextDocument& text = document.text;
  const auto line = static_cast<std::size_t>(position.line);
  const std::size_t byte = text.offset_of(position, encoding_) - text.line_start(line);
  const std::string_view directory = document.place.data_directory;
  CellQuery query{text, directory, std::nullopt, line, byte};
  if (const OpenDocument* part_list = documents_.part_list_of(directory))
    query.part_list = part_list->text.text();
  return query;
}

bool is_place_request(std::string_view method) {
  return method == kHover || method == kCompletion || method == kSymbols;
}

Json place_completion_options() {
  // A cell begins after a comma, a nested value after a brace or a semicolon.
  return Json{{"triggerCharacters", {",", "{", ";"}}, {"resolveProvider", false}};
}

void LanguageServer::place_request(const Json& id, std::string_view method, const Json& params) {
  const std::string* uri = document_uri(params);
  const bool symbols = method == kSymbols;
  const std::optional<Position> position =
      symbols || !params.is_object() ? std::nullopt
                                     : position_from_json(params.value("position", Json()));
  if (uri == nullptr || (!symbols && !position)) {
    send(error_response(
        id, ErrorCode::InvalidParams,
        std::string(method) + " needs a document" + (symbols ? "" : " and a position")));
    return;
  }
  OpenDocument* document = documents_.find(*uri);
  if (document == nullptr || document->place.role != DocumentRole::UnitTable) {
    send(result_response(id, nothing_for(method)));
    return;
  }
  const TextDocument& text = document->text;
  if (symbols) {
    send_result_text(id, document_symbols_text(text, checks_.unit_symbols(text), encoding_,
                                               features_.hierarchical_symbols, *uri));
    return;
  }
  if (position->line >= text.line_count()) {
    send(result_response(id, nothing_for(method)));
    return;
  }
  const auto line = static_cast<std::size_t>(position->line);
  const std::size_t byte = text.offset_of(*position, encoding_) - text.line_start(line);
  const std::string_view directory = document->place.data_directory;
  CellQuery query{text, directory, std::nullopt, line, byte};
  if (const OpenDocument* part_list = documents_.part_list_of(directory))
    query.part_list = part_list->text.text();
  if (method == kHover) {
    const std::optional<CellFacts> facts = checks_.describe_cell(query);
    send(result_response(id,
                         facts ? hover_json(text, line, *facts, encoding_, features_.markdown_hover)
                               : Json(nullptr)));
  } else {
    send(result_response(id, completion_json(text, line, checks_.complete_cell(query), encoding_)));
  }
}

void LanguageServer::send_result_text(const Json& id, std::string_view result) {
  std::string body = R"({"jsonrpc":"2.0","id":)" + json_text(id) + R"(,"result":)";
  body.append(result).push_back('}');
  send_text(body);
}

}  // namespace unitcheck::server
