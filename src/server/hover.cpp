#include "server/hover.h"

#include <string>

#include "server/diagnostics.h"
#include "server/hover_text.h"

namespace unitcheck::server {
namespace {

// "text, size 60", "float", or that the schema does not know it.
void declaration(HoverText& text, const DeclaredField& field, bool known) {
  if (!known || field.type.empty()) {
    text.words("not a column of the unit table");
    return;
  }
  text.words(field.type);
  if (field.size > 0) text.words(", size " + std::to_string(field.size));
}

void column_facts(HoverText& text, const CellFacts& facts) {
  text.words(facts.header ? "Header of column " : "Column ");
  text.words(std::to_string(facts.column_index + 1));
  text.words(": ");
  if (facts.column.name.empty() && !facts.header) {
    text.words("past the header's columns, not checked");
    return;
  }
  if (facts.column.name.empty())
    text.words("(no name)");
  else
    text.data(facts.column.name);
  text.words(" — ");
  declaration(text, facts.column, facts.known);
}

void nested_facts(HoverText& text, const CellFacts& facts) {
  text.paragraph();
  text.words("Nested list ");
  text.data(*facts.table);
  if (facts.group > 0) text.words(", group " + std::to_string(facts.group));
  text.words(": ");
  if (facts.field.name.empty()) {
    text.words("no field (a value past the group's last field, or text before a group)");
    return;
  }
  text.data(*facts.table + "." + facts.field.name);
  text.words(" — ");
  declaration(text, facts.field, true);
}

}  // namespace

Json hover_json(const TextDocument& document, std::size_t line, const CellFacts& facts,
                PositionEncoding encoding, bool markdown) {
  HoverText text(markdown);
  column_facts(text, facts);
  if (facts.table) nested_facts(text, facts);
  if (!facts.header) {
    text.paragraph();
    text.words("Unit ");
    text.data(facts.key);
    if (!facts.name.empty()) {
      text.words(" — ");
      text.data(facts.name);
    }
  }
  Utf16Walk walk;
  return Json{{"contents", {{"kind", markdown ? "markdown" : "plaintext"}, {"value", text.take()}}},
              {"range", range_json(document, line, facts.begin, facts.end, encoding, walk)}};
}

}  // namespace unitcheck::server
