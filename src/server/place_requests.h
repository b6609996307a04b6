#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// What a request about one place of a document gives: its document and position.
struct CellRequest {
  std::string uri;
  Position position;
};
// params.textDocument.uri and params.position, or nullopt when either is missing or malformed.
std::optional<CellRequest> cell_request(const Json& params);

// hover, completion and documentSymbol: the requests about places of a unit table, which
// LanguageServer::place_request answers.
bool is_place_request(std::string_view method);

// The completionProvider the server declares: the characters that begin a value.
Json place_completion_options();

}  // namespace unitcheck::server
