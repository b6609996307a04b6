#pragma once

#include <span>
#include <string_view>

#include "server/cell_answers.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's answer to documentSymbol: one symbol per unit line, named by its key with its
// name as detail; its range the line, its selection range the key. SymbolInformation (with the
// document's uri) for a client that takes no DocumentSymbol. Names and details are cut and
// their control characters made visible.
Json document_symbols_json(const TextDocument& document, std::span<const UnitSymbol> symbols,
                           PositionEncoding encoding, bool hierarchical, std::string_view uri);

}  // namespace unitcheck::server
