#include "lint/suggestion_lists.h"

namespace unitcheck::lint {

std::string SuggestionLists::mesh(std::string_view value, std::string_view folder) const {
  // The unit's own directory is listed now: only a finding pays for it.
  std::string scratch;
  FolderListings listed_now(0, 0);
  FolderListings& listings = unit_folders != nullptr ? *unit_folders : listed_now;
  ClosestName closest_own(value, suggestion_bound(character_count(value)));
  for_each_entry(listings.entries(folder, scratch),
                 [&](std::string_view name) { closest_own.consider(name); });
  const std::string_view own = closest_own.best();
  const std::string_view shared = meshes.closest(value);
  if (own.empty() || shared.empty()) return std::string(own.empty() ? shared : own);
  const int bound = suggestion_bound(character_count(value));
  const bool shared_nearer =
      bounded_distance(value, shared, bound) < bounded_distance(value, own, bound);
  return std::string(shared_nearer ? shared : own);
}

}  // namespace unitcheck::lint
