#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lint/rules.h"
#include "server/cell_answers.h"
#include "server/changed_lines.h"
#include "server/text_document.h"

namespace unitcheck::server {

struct DocumentFinding;

// What the checks of a unit table read: the editor's text, saved or not, and the part list's
// text when the editor holds it open (else the checks read master_part_list.csv from disk).
struct UnitTableText {
  // The whole text (document.text()), or its lines one by one: the lines of an edit can be read
  // without joining the rest.
  const TextDocument& document;
  std::string_view data_directory;
  std::optional<std::string_view> part_list;
  // The lines edited since the checks last gave findings for this document, which were
  // previous; nullopt when all of it is to be checked again (its first check, a whole new text,
  // a part list opened, edited or closed, a save).
  std::optional<ChangedLines> changed;
  // The checks may move from them (an edit of a table with tens of thousands of findings would
  // copy them all): the caller replaces them with the result.
  std::span<DocumentFinding> previous;
  // Files and folders of the data directory (absolute paths) that the client reported made,
  // changed or removed since the last check: what the checks knew of them is stale, and so are
  // the findings of the lines that name them.
  std::span<const std::string> changed_paths;
};

// One finding in a document, where it lies in bytes: the server converts the place to the
// position encoding agreed with the client.
struct DocumentFinding {
  std::size_t line = 0;   // 0-based line of the document
  std::size_t begin = 0;  // the byte of the line where the range begins
  std::size_t end = 0;    // the byte just past its end (begin when empty)
  lint::Rule rule{};
  lint::Severity severity = lint::Severity::Error;
  std::string message;  // in words, with the suggestion when there is one
  // The text that mends the finding in place of the range, when the checks know one.
  std::optional<std::string> replacement;
  friend bool operator==(const DocumentFinding&, const DocumentFinding&) = default;
};

// The checks that the language server runs over an open unit table: the seam between the
// protocol and the core.
class DocumentChecks {
 public:
  virtual ~DocumentChecks() = default;
  // Every finding of the unit table, its header's included, in the order of the text.
  virtual std::vector<DocumentFinding> check_unit_table(const UnitTableText& input) = 0;

  // What the place of a unit table holds (hover), the values it may take (completion), and
  // the table's units (outline). Checks that know none of it answer nothing.
  virtual std::optional<CellFacts> describe_cell(const CellQuery& /*query*/) { return {}; }
  virtual CompletionChoices complete_cell(const CellQuery& /*query*/) { return {}; }
  // Where the value at a place leads (go to definition).
  virtual std::optional<CellTarget> cell_target(const CellQuery& /*query*/) { return {}; }
  virtual std::vector<UnitSymbol> unit_symbols(const TextDocument& /*document*/) { return {}; }
};

}  // namespace unitcheck::server
