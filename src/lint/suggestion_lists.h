#pragma once

#include <string>
#include <string_view>

#include "lint/folder_listings.h"
#include "lint/suggestion_source.h"
#include "lint/suggestions.h"

namespace unitcheck::lint {

// The suggestions of a data directory: indexes of the part list's names and of the entries of
// units/, cockpits/ and meshes/, and a unit's own directory listed when a file in it is missing.
// Any index may be empty (then it offers nothing). Read-only while findings are enriched.
struct SuggestionLists final : SuggestionSource {
  NameIndex categories;        // categories of the part list
  NameIndex part_names;        // part names of the part list
  NameIndex unit_directories;  // entries of units/
  NameIndex cockpits;          // entries of cockpits/
  NameIndex meshes;            // entries of meshes/
  // A unit's own directory; listed anew each time when null.
  FolderListings* unit_folders = nullptr;

  std::string unit_directory(std::string_view value) const override {
    return std::string(unit_directories.closest(value));
  }
  std::string cockpit(std::string_view value) const override {
    return std::string(cockpits.closest(value));
  }
  // The name nearest in the unit's own directory or in meshes/; the unit's wins a tie.
  std::string mesh(std::string_view value, std::string_view folder) const override;
  std::string category(std::string_view value) const override {
    return std::string(categories.closest(value));
  }
  std::string part_name(std::string_view value) const override {
    return std::string(part_names.closest(value));
  }
};

}  // namespace unitcheck::lint
