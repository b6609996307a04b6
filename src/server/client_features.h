#pragma once

#include "server/json_rpc.h"

namespace unitcheck::server {

// What the client said in initialize that shapes the answers beyond the position encoding.
struct ClientFeatures {
  bool markdown_hover = false;        // hover.contentFormat offers markdown
  bool hierarchical_symbols = false;  // documentSymbol takes DocumentSymbol, not SymbolInformation
  // workspace.didChangeWatchedFiles.dynamicRegistration: the server may ask for file watchers
  bool registers_file_watchers = false;
};

ClientFeatures client_features(const Json& initialize_params);

}  // namespace unitcheck::server
