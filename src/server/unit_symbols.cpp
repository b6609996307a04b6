#include "server/unit_symbols.h"

#include <algorithm>
#include <string>

#include "server/diagnostics.h"
#include "server/hover_text.h"

namespace unitcheck::server {
namespace {

// SymbolKind Struct: a unit is a record of fields.
constexpr int kUnitSymbolKind = 23;

// A symbol's name must show something: a key of spaces, or none, is named by its line.
std::string symbol_name(const UnitSymbol& symbol) {
  std::string name = visible_data(symbol.key);
  if (std::ranges::all_of(name, [](char c) { return c == ' ' || c == '\t'; }))
    name = "(line " + std::to_string(symbol.line + 1) + ")";
  return name;
}

}  // namespace

Json document_symbols_json(const TextDocument& document, std::span<const UnitSymbol> symbols,
                           PositionEncoding encoding, bool hierarchical, std::string_view uri) {
  Json out = Json::array();
  for (const UnitSymbol& symbol : symbols) {
    Utf16Walk walk;
    const Json key =
        range_json(document, symbol.line, symbol.key_begin, symbol.key_end, encoding, walk);
    walk = Utf16Walk{};
    const Json line =
        range_json(document, symbol.line, 0, document.line(symbol.line).size(), encoding, walk);
    if (hierarchical) {
      out.push_back(Json{{"name", symbol_name(symbol)},
                         {"detail", visible_data(symbol.name)},
                         {"kind", kUnitSymbolKind},
                         {"range", line},
                         {"selectionRange", key}});
    } else {
      out.push_back(Json{{"name", symbol_name(symbol)},
                         {"kind", kUnitSymbolKind},
                         {"location", {{"uri", uri}, {"range", line}}},
                         {"containerName", visible_data(symbol.name)}});
    }
  }
  return out;
}

}  // namespace unitcheck::server
