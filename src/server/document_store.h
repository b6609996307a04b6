#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/document_checks.h"
#include "server/document_role.h"
#include "server/text_document.h"

namespace unitcheck::server {

// A document the client holds open: its text as the client last sent it, and the findings last
// published for it.
struct OpenDocument {
  std::string uri;      // as the client spells it: diagnostics name it the same way
  DocumentPlace place;  // Other when its URI names no file this server accepts
  std::int64_t version = 0;
  TextDocument text;
  std::vector<DocumentFinding> findings;
  // What changed since the findings were made: nullopt for everything.
  std::optional<ChangedLines> changed;
  // Files of its data directory that the client saw change on disk since the findings were
  // made (absolute paths, perhaps repeated).
  std::vector<std::string> changed_paths;
  // Why its last check could not run; empty when it ran.
  std::string cannot_check;
};

// The open documents by URI.
class DocumentStore {
 public:
  // Opens (or opens again, replacing) the document at uri.
  OpenDocument& open(std::string uri, std::int64_t version, SharedText text);
  OpenDocument* find(std::string_view uri);
  // False when no such document was open.
  bool close(std::string_view uri);

  // The part list open for a data directory, if any.
  const OpenDocument* part_list_of(std::string_view data_directory) const;
  // The URIs of the unit tables open in a data directory.
  std::vector<std::string> unit_tables_of(std::string_view data_directory) const;
  // The URIs of the unit tables whose data directory holds the file or folder at path.
  std::vector<std::string> unit_tables_holding(std::string_view path) const;

 private:
  std::map<std::string, OpenDocument, std::less<>> documents_;
};

}  // namespace unitcheck::server
