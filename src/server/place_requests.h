#pragma once

#include <string_view>

#include "server/json_rpc.h"

namespace unitcheck::server {

// hover, completion and documentSymbol: the requests about places of a unit table, which
// LanguageServer::place_request answers.
bool is_place_request(std::string_view method);

// The completionProvider the server declares: the characters that begin a value.
Json place_completion_options();

}  // namespace unitcheck::server
