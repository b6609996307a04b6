#include "server/client_features.h"

#include <initializer_list>

namespace unitcheck::server {
namespace {

// params.capabilities.<area>.<keys...>, or null when any step is missing.
const Json* capability(const Json& params, const char* area,
                       std::initializer_list<const char*> keys) {
  const Json* at = &params;
  for (const char* key : {"capabilities", area}) {
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
  if (const Json* formats = capability(params, "textDocument", {"hover", "contentFormat"});
      formats != nullptr && formats->is_array()) {
    for (const Json& format : *formats) features.markdown_hover |= format == "markdown";
  }
  const Json* hierarchical =
      capability(params, "textDocument", {"documentSymbol", "hierarchicalDocumentSymbolSupport"});
  features.hierarchical_symbols = hierarchical != nullptr && *hierarchical == true;
  const Json* watchers =
      capability(params, "workspace", {"didChangeWatchedFiles", "dynamicRegistration"});
  features.registers_file_watchers = watchers != nullptr && *watchers == true;
  const Json options = params.is_object() ? params.value("initializationOptions", Json()) : Json();
  if (!options.is_object()) return features;
  if (const Json limit = options.value("maxDiagnostics", Json());
      limit.is_number_integer() && limit.get<std::int64_t>() > 0) {
    features.max_diagnostics = limit.get<std::size_t>();
  }
  if (const Json hints = options.value("inlayHints", Json()); hints == "faulty") {
    features.inlay_hints = InlayHintCells::Faulty;
  } else if (hints == "none") {
    features.inlay_hints = InlayHintCells::None;
  }
  return features;
}

}  // namespace unitcheck::server
