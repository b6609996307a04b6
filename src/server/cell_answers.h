#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/text_document.h"

namespace unitcheck::server {

// A place in an open unit table that the client asks about, with what the checks read to
// answer: the data directory's folders and part list.
struct CellQuery {
  const TextDocument& document;
  std::string_view data_directory;
  std::optional<std::string_view> part_list;  // the editor's text of it, when open
  std::size_t line = 0;                       // 0-based
  std::size_t byte = 0;                       // of the line
};

// A column or field as the schema declares it.
struct DeclaredField {
  std::string name;
  std::string_view type;  // "text", "float", ...; empty when the schema does not know it
  std::int64_t size = 0;  // declared size of a text, else 0
};

// What a place of a unit table holds, for a hover. Texts are the document's bytes, unescaped.
struct CellFacts {
  bool header = false;   // a column of the header line
  DeclaredField column;  // the column (on the header line: the one its cell names)
  bool known = true;     // whether the schema knows the column
  int column_index = 0;  // 0-based
  // Inside a nested list: its table and the value's field (field.name empty for a value past
  // the group's last field, or text before a group).
  std::optional<std::string> table;
  DeclaredField field;
  std::size_t group = 0;  // 1-based; 0 before the first group
  std::string key;        // of the unit on the line (cut to kSymbolTextLimit bytes)
  std::string name;       // its Name cell (likewise)
  std::size_t begin = 0;  // the value's bytes in the line
  std::size_t end = 0;
};

// The values a place may take, when they are a closed set.
struct CompletionChoices {
  std::size_t begin = 0;  // the bytes of the line the chosen value replaces
  std::size_t end = 0;
  std::string_view kind;  // what the values are: "boolean", "category", "part", "folder", "file"
  std::vector<std::string> values;
  bool incomplete = false;  // more values match than were given
};

// Where a cell's value leads (go to definition): a line of the part list, a unit's or a
// cockpit's folder, a mesh file. An absolute path under the data directory.
struct CellTarget {
  std::string path;
  std::size_t line = 0;   // 0-based; 0 for a folder or a mesh
  std::size_t begin = 0;  // the bytes of that line the value names (the part or category)
  std::size_t end = 0;
  std::string line_text;  // that line's bytes up to end, for the client's count of characters
  // The value's bytes in the unit line, which the client underlines as the link.
  std::size_t value_begin = 0;
  std::size_t value_end = 0;
};

// One unit line: its key and name, for a document's outline.
struct UnitSymbol {
  std::size_t line = 0;
  std::size_t key_begin = 0;  // the key's bytes in the line
  std::size_t key_end = 0;
  std::string key;   // cut to kSymbolTextLimit bytes at a character boundary
  std::string name;  // likewise
};

// The most bytes of a key, name or column name that the checks give: more than a client is
// shown (server/hover_text cuts again, and marks the cut), far less than a hostile cell holds.
inline constexpr std::size_t kSymbolTextLimit = 256;
// The most values a completion offers.
inline constexpr std::size_t kCompletionLimit = 200;

}  // namespace unitcheck::server
