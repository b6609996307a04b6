#pragma once

#include <map>
#include <string>
#include <vector>

#include "server/core_cell_info.h"
#include "server/document_checks.h"
#include "validate/cached_file_tests.h"

namespace unitcheck::server {

// The core's checks over an open unit table: the whole text each time, with the findings,
// words and fixes of unitlint's JSON report. The answers of the disk are remembered per data
// directory between checks, and forgotten whenever the server asks for a whole new check (a
// save, a part list changed), since a file may have come or gone meanwhile.
class CoreDocumentChecks final : public DocumentChecks {
 public:
  std::vector<DocumentFinding> check_unit_table(const UnitTableText& input) override;
  // Places of the table: server/core_cell_info.
  std::optional<CellFacts> describe_cell(const CellQuery& q) override {
    return describe_unit_cell(q);
  }
  CompletionChoices complete_cell(const CellQuery& q) override { return complete_unit_cell(q); }
  std::vector<UnitSymbol> unit_symbols(const TextDocument& d) override {
    return find_unit_symbols(d);
  }

 private:
  std::map<std::string, CachedFileTests, std::less<>> file_tests_;  // by data directory
};

}  // namespace unitcheck::server
