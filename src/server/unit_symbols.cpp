#include "server/unit_symbols.h"

#include <algorithm>

#include "lint/json_text.h"
#include "server/diagnostics.h"
#include "server/hover_text.h"

namespace unitcheck::server {
namespace {

// SymbolKind Struct: a unit is a record of fields.
constexpr std::string_view kUnitSymbolKind = "23";

// A symbol's name must show something: a key of spaces, or none, is named by its line.
std::string symbol_name(const UnitSymbol& symbol) {
  std::string name = visible_data(symbol.key);
  if (std::ranges::all_of(name, [](char c) { return c == ' ' || c == '\t'; }))
    name = "(line " + std::to_string(symbol.line + 1) + ")";
  return name;
}

}  // namespace

std::string document_symbols_text(const TextDocument& document, std::span<const UnitSymbol> symbols,
                                  PositionEncoding encoding, bool hierarchical,
                                  std::string_view uri) {
  std::string out;
  {
    lint::JsonText json(out, symbols.size() * 200);
    json.raw("[");
    for (const UnitSymbol& symbol : symbols) {
      if (&symbol != symbols.data()) json.raw(",");
      // One walk along the line: the key's bounds, then its end.
      Utf16Walk walk;
      const std::uint64_t key_first =
          document.character_of(symbol.line, symbol.key_begin, encoding, walk);
      const std::uint64_t key_last =
          document.character_of(symbol.line, symbol.key_end, encoding, walk);
      const std::uint64_t line_end =
          document.character_of(symbol.line, document.line(symbol.line).size(), encoding, walk);
      json.raw("{\"name\":").string(symbol_name(symbol));
      json.raw(hierarchical ? ",\"detail\":" : ",\"containerName\":")
          .string(visible_data(symbol.name));
      json.raw(",\"kind\":").raw(kUnitSymbolKind);
      if (hierarchical) {
        json.raw(",\"range\":");
        put_range(json, symbol.line, 0, line_end);
        json.raw(",\"selectionRange\":");
        put_range(json, symbol.line, key_first, key_last);
      } else {
        json.raw(",\"location\":{\"uri\":").string(uri).raw(",\"range\":");
        put_range(json, symbol.line, 0, line_end);
        json.raw("}");
      }
      json.raw("}");
    }
    json.raw("]");
  }
  return out;
}

}  // namespace unitcheck::server
