#include "lint/folder_listings.h"

#include "platform/file_system.h"

namespace unitcheck::lint {

std::shared_ptr<const FolderEntries> FolderListings::entries(const std::string& folder) {
  {
    const std::lock_guard lock(mutex_);
    if (const auto found = listings_.find(folder); found != listings_.end()) return found->second;
  }
  // Listed outside the lock; two threads may list the same folder once each.
  auto listing = std::make_shared<const FolderEntries>(folder_entry_names(folder));
  const std::lock_guard lock(mutex_);
  if (listings_.size() < kept_folders_ && names_kept_ + listing->size() <= kept_names_ &&
      listings_.emplace(folder, listing).second)
    names_kept_ += listing->size();
  return listing;
}

}  // namespace unitcheck::lint
