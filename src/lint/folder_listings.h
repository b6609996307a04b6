#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "tables/text_map.h"

namespace unitcheck {
class BeneathDirectory;
}

namespace unitcheck::lint {

// Folder listings remembered for the run and shared by the threads that describe findings, so
// that a unit directory with many missing files is listed once. A listing is one text: each
// entry's name followed by a zero byte, which no name holds. Past kept_folders folders or
// kept_names names in all, the others are listed each time they are asked for: memory stays
// bounded whatever the folders hold. For suggestions only: nothing is checked from them.
class FolderListings {
 public:
  explicit FolderListings(std::size_t kept_folders = 4096, std::size_t kept_names = 1 << 16)
      : kept_folders_(kept_folders), kept_names_(kept_names) {}

  // The folder's listing: a view of the one kept for the run, or of scratch, which holds it
  // when it is not kept. Empty when the folder cannot be listed, or lies outside the root.
  std::string_view entries(std::string_view folder, std::string& scratch);

  // Lists only folders beneath directory, opened from its handle (root is its path, ending in a
  // slash, which the folders asked for begin with): a cell that climbs out of the data
  // directory, or a link in it, must not show a reader's other folders as suggestions. Set
  // before the first listing; directory outlives this object.
  void keep_inside(const BeneathDirectory& directory, std::string root) {
    directory_ = &directory;
    root_ = std::move(root);
  }

 private:
  std::mutex mutex_;
  TextMap<std::uint32_t> kept_;       // folder → its listing's place in listings_
  std::deque<std::string> listings_;  // a deque never moves them: views stay valid
  std::size_t kept_folders_;
  std::size_t kept_names_;
  std::size_t names_kept_ = 0;
  const BeneathDirectory* directory_ = nullptr;  // none: every folder is listed
  std::string root_;
};

// Calls f with each name of a listing.
template <class F>
void for_each_entry(std::string_view listing, F&& f) {
  while (!listing.empty()) {
    const std::size_t end = listing.find('\0');
    f(listing.substr(0, end));
    listing.remove_prefix(end + 1);
  }
}

}  // namespace unitcheck::lint
