#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace unitcheck::server {

// What an open document is to the checks.
enum class DocumentRole : std::uint8_t {
  UnitTable,  // units.csv inside a units/ folder
  PartList,   // master_part_list.csv
  Other,      // not checked
};

struct DocumentPlace {
  DocumentRole role = DocumentRole::Other;
  std::string data_directory;  // the folder above units/, or the part list's folder
};

// The role of a document at an absolute path, and its data directory.
DocumentPlace place_of_path(std::string_view path);

}  // namespace unitcheck::server
