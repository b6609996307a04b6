#include "server/document_role.h"

namespace unitcheck::server {
namespace {

// The folder of an absolute path's last segment ("/" for a file at the root).
std::string_view folder_of(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string_view name_of(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

DocumentPlace place_of_path(std::string_view path) {
  if (path.empty() || path.front() != '/') return {};
  const std::string_view folder = folder_of(path);
  if (name_of(path) == "master_part_list.csv") {
    return {DocumentRole::PartList, std::string(folder)};
  }
  if (name_of(path) == "units.csv" && folder != "/" && name_of(folder) == "units") {
    return {DocumentRole::UnitTable, std::string(folder_of(folder))};
  }
  return {};
}

}  // namespace unitcheck::server
