#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "server/core_cell_info.h"
#include "server/document_checks.h"

namespace unitcheck {
struct Tables;
}

namespace unitcheck::server {

// The core's checks over an open unit table, with the findings, words and fixes of unitlint's
// JSON report. What an edit of the table cannot change is kept per data directory between
// checks: the schemas, the directory's real path, the part list, the suggestion lists, the
// mapped header and the answers of the disk. An edit of data lines checks the lines it made and
// keeps the other findings; a whole new check (a save, a part list changed, the header edited)
// reads everything again. Files the client saw change are forgotten, and the lines that may
// name them checked again.
class CoreDocumentChecks final : public DocumentChecks {
 public:
  CoreDocumentChecks();
  ~CoreDocumentChecks() override;
  std::vector<DocumentFinding> check_unit_table(const UnitTableText& input) override;
  // Places of the table: server/core_cell_info.
  std::optional<CellFacts> describe_cell(const CellQuery& q) override {
    return describe_unit_cell(q);
  }
  CompletionChoices complete_cell(const CellQuery& q) override { return complete_unit_cell(q); }
  std::optional<CellTarget> cell_target(const CellQuery& q) override { return find_cell_target(q); }
  std::vector<UnitSymbol> unit_symbols(const TextDocument& d) override {
    return find_unit_symbols(d);
  }

 private:
  struct Directory;

  std::unique_ptr<Tables> schemas_;
  std::map<std::string, std::unique_ptr<Directory>, std::less<>> directories_;
};

}  // namespace unitcheck::server
