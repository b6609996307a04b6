#include "server/document_store.h"

#include <utility>

#include "server/file_uri.h"

namespace unitcheck::server {

OpenDocument& DocumentStore::open(std::string uri, std::int64_t version, SharedText text) {
  DocumentPlace place;
  if (const std::optional<std::string> path = path_from_file_uri(uri)) place = place_of_path(*path);
  OpenDocument document{uri, std::move(place), version, TextDocument(std::move(text)), {}, {}, {},
                        {}};
  auto [at, added] = documents_.try_emplace(std::move(uri), std::move(document));
  if (!added) at->second = std::move(document);
  return at->second;
}

OpenDocument* DocumentStore::find(std::string_view uri) {
  const auto at = documents_.find(uri);
  return at == documents_.end() ? nullptr : &at->second;
}

bool DocumentStore::close(std::string_view uri) {
  const auto at = documents_.find(uri);
  if (at == documents_.end()) return false;
  documents_.erase(at);
  return true;
}

const OpenDocument* DocumentStore::part_list_of(std::string_view data_directory) const {
  for (const auto& [uri, document] : documents_) {
    if (document.place.role == DocumentRole::PartList &&
        document.place.data_directory == data_directory) {
      return &document;
    }
  }
  return nullptr;
}

std::vector<std::string> DocumentStore::unit_tables_of(std::string_view data_directory) const {
  std::vector<std::string> uris;
  for (const auto& [uri, document] : documents_) {
    if (document.place.role == DocumentRole::UnitTable &&
        document.place.data_directory == data_directory) {
      uris.push_back(uri);
    }
  }
  return uris;
}

std::vector<std::string> DocumentStore::unit_tables_holding(std::string_view path) const {
  std::vector<std::string> uris;
  for (const auto& [uri, document] : documents_) {
    if (document.place.role != DocumentRole::UnitTable) continue;
    std::string_view folder = document.place.data_directory;
    if (folder.ends_with('/')) folder.remove_suffix(1);
    if (path.size() > folder.size() + 1 && path.starts_with(folder) && path[folder.size()] == '/') {
      uris.push_back(uri);
    }
  }
  return uris;
}

}  // namespace unitcheck::server
