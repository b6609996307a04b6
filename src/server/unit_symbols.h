#pragma once

#include <span>
#include <string>
#include <string_view>

#include "server/cell_answers.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The JSON text of the answer to documentSymbol: one symbol per unit line, named by its key with
// its name as detail; its range the line, its selection range the key. SymbolInformation (with
// the document's uri) for a client that takes no DocumentSymbol. Names and details are cut and
// their control characters made visible. Written as text rather than built as a tree of values:
// a table of 20,000 units is an answer of megabytes.
std::string document_symbols_text(const TextDocument& document, std::span<const UnitSymbol> symbols,
                                  PositionEncoding encoding, bool hierarchical,
                                  std::string_view uri);

}  // namespace unitcheck::server
