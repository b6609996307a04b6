#pragma once

#include <map>
#include <string>
#include <vector>

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

 private:
  std::map<std::string, CachedFileTests, std::less<>> file_tests_;  // by data directory
};

}  // namespace unitcheck::server
