#include "server/client_features.h"

#include <initializer_list>

namespace unitcheck::server {
namespace {

// params.capabilities.textDocument.<keys...>, or null when any step is missing.
const Json* text_document_capability(const Json& params, std::initializer_list<const char*> keys) {
  const Json* at = &params;
  for (const char* key : {"capabilities", "textDocument"}) {
    if (!at->is_object() || !at->contains(key)) return nullptr;
    at = &(*at)[key];
  }
  for (const char* key : keys) {
    if (!at->is_object() || !at->contains(key)) return nullptr;
    at = &(*at)[key];
  }
  return at;
}

}  // namespace

ClientFeatures client_features(const Json& params) {
  ClientFeatures features;
  if (const Json* formats = text_document_capability(params, {"hover", "contentFormat"});
      formats != nullptr && formats->is_array()) {
    for (const Json& format : *formats) features.markdown_hover |= format == "markdown";
  }
  const Json* hierarchical =
      text_document_capability(params, {"documentSymbol", "hierarchicalDocumentSymbolSupport"});
  features.hierarchical_symbols = hierarchical != nullptr && *hierarchical == true;
  return features;
}

}  // namespace unitcheck::server
