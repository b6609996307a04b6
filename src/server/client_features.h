#pragma once

#include <cstddef>
#include <cstdint>

#include "server/json_rpc.h"

namespace unitcheck::server {

inline constexpr std::size_t kDefaultMaxDiagnostics = 1000;

enum class InlayHintCells : std::uint8_t { All, Faulty, None };

// What the client said in initialize that shapes the answers beyond the position encoding.
struct ClientFeatures {
  bool markdown_hover = false;        // hover.contentFormat offers markdown
  bool hierarchical_symbols = false;  // documentSymbol takes DocumentSymbol, not SymbolInformation
  // workspace.didChangeWatchedFiles.dynamicRegistration: the server may ask for file watchers
  bool registers_file_watchers = false;
  // initializationOptions.maxDiagnostics: the most diagnostics published for one document (a
  // positive integer; 1,000 unless given). The rest are counted in one more diagnostic.
  std::size_t max_diagnostics = kDefaultMaxDiagnostics;
  // initializationOptions.inlayHints: "all" cells named, only the "faulty" ones, or "none".
  InlayHintCells inlay_hints = InlayHintCells::All;
};

ClientFeatures client_features(const Json& initialize_params);

}  // namespace unitcheck::server
