#include "server/json_rpc.h"

#include <utility>

namespace unitcheck::server {

std::string framed(std::string_view body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  message.append(body);
  return message;
}

std::string json_text(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json result_response(const Json& id, Json result) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

Json error_response(const Json& id, ErrorCode code, std::string_view message) {
  return Json{{"jsonrpc", "2.0"},
              {"id", id},
              {"error", {{"code", static_cast<std::int32_t>(code)}, {"message", message}}}};
}

Json notification(std::string_view method, Json params) {
  return Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

bool is_request_id(const Json& id) {
  return id.is_string() || id.is_number_integer();
}

const std::string* document_uri(const Json& params) {
  if (!params.is_object()) return nullptr;
  const auto document = params.find("textDocument");
  if (document == params.end() || !document->is_object()) return nullptr;
  const auto uri = document->find("uri");
  if (uri == document->end() || !uri->is_string()) return nullptr;
  return &uri->get_ref<const std::string&>();
}

}  // namespace unitcheck::server
