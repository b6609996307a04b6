#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lint/folder_listings.h"
#include "lint/suggestion_lists.h"

namespace unitcheck {
struct PartList;
class BeneathDirectory;
}  // namespace unitcheck

namespace unitcheck::lint {

// The suggestion lists of one check of a data directory: the part list's names and categories,
// and the entries of units/, cockpits/ and meshes/, drawn only from folders inside the
// directory's real path. Each list is made when a finding first needs it, on that finding's
// thread: a table without faults pays nothing. The lists point into this object, which
// therefore stays where it was made.
class DataSuggestions {
 public:
  // root ends with a slash; directory is it opened, and lists its folders. part_list and
  // directory outlive this object.
  DataSuggestions(const PartList& part_list, const std::string& root,
                  const BeneathDirectory& directory);
  DataSuggestions(const DataSuggestions&) = delete;
  DataSuggestions& operator=(const DataSuggestions&) = delete;

  SuggestionLists& lists() { return lists_; }

 private:
  struct FolderNames {
    std::vector<std::string> names;
    std::vector<std::string_view> views;
  };

  std::string root_;
  const BeneathDirectory* directory_;
  std::vector<std::string_view> categories_;
  std::vector<std::string_view> part_names_;
  FolderNames unit_directories_;
  FolderNames cockpits_;
  FolderNames meshes_;
  FolderListings unit_folders_;
  SuggestionLists lists_;
};

}  // namespace unitcheck::lint
