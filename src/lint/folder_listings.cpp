#include "lint/folder_listings.h"

#include <vector>

#include "platform/beneath.h"
#include "platform/file_system.h"

namespace unitcheck::lint {

std::string_view FolderListings::entries(std::string_view folder, std::string& scratch) {
  {
    const std::lock_guard lock(mutex_);
    if (const std::uint32_t* kept = kept_.find(folder)) return listings_[*kept];
  }
  // Listed outside the lock; two threads may list the same folder once each. A folder outside
  // the root is kept as an empty listing, so that it is resolved once.
  std::vector<std::string> names;
  if (directory_ == nullptr)
    names = folder_entry_names(std::string(folder));
  else if (folder.starts_with(root_))
    names = directory_->folder_entry_names(folder.substr(root_.size()));
  scratch.clear();
  for (const std::string& name : names) scratch.append(name).push_back('\0');
  const std::lock_guard lock(mutex_);
  if (const std::uint32_t* kept = kept_.find(folder)) return listings_[*kept];
  if (listings_.size() >= kept_folders_ || names_kept_ + names.size() > kept_names_) return scratch;
  kept_.insert(folder, static_cast<std::uint32_t>(listings_.size()));
  listings_.push_back(scratch);
  names_kept_ += names.size();
  return listings_.back();
}

}  // namespace unitcheck::lint
