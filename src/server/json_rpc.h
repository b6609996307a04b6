#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace unitcheck::server {

using Json = nlohmann::ordered_json;

// The error codes of JSON-RPC 2.0 and of the protocol that the server answers with.
enum class ErrorCode : std::int32_t {
  ParseError = -32700,
  InvalidRequest = -32600,
  MethodNotFound = -32601,
  InvalidParams = -32602,
  InternalError = -32603,
  ServerNotInitialized = -32002,
  RequestCancelled = -32800,
};

// A message as it is written: its body, framed by a Content-Length header.
std::string framed(std::string_view body);
// The JSON text of a message. Strings that are not UTF-8 (a mod's bytes in a message) have
// their faulty bytes replaced by U+FFFD rather than failing.
std::string json_text(const Json& message);

Json result_response(const Json& id, Json result);
Json error_response(const Json& id, ErrorCode code, std::string_view message);
Json notification(std::string_view method, Json params);

// True for an id the protocol allows in a request: an integer or a string.
bool is_request_id(const Json& id);

// params.textDocument.uri, when it is a string; else null.
const std::string* document_uri(const Json& params);

}  // namespace unitcheck::server
