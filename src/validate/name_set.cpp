#include "validate/name_set.h"

#include <utility>

namespace unitcheck {

void NameSet::reserve(std::size_t count, std::size_t name_bytes) {
  arena_.reserve(name_bytes);
  std::size_t wanted = 16;
  while (wanted < count * 2) wanted *= 2;
  if (wanted > slots_.size()) place_all(wanted);
}

void NameSet::insert(std::string_view name) {
  name = name.substr(0, kLongestName);
  if ((count_ + 1) * 2 > slots_.size()) place_all(slots_.empty() ? 16 : slots_.size() * 2);
  const std::uint64_t hash = hash_text(name);
  const std::size_t i = slot_of(name, hash);
  if (slots_[i] != 0) return;
  const std::size_t place = arena_.size();
  const auto length = static_cast<std::uint16_t>(name.size());  // at most kLongestName
  arena_.append(reinterpret_cast<const char*>(&length), sizeof length);
  arena_.append(name);
  slots_[i] = fingerprint(hash) | place;
  ++count_;
}

void NameSet::place_all(std::size_t size) {
  // The home comes from the hash's low bits, which the slot does not keep: each name is hashed
  // again. The names are read in the arena's order, not the slots': one pass over memory, where
  // the slots' order would have a cache miss for each name; and the old slots are not needed
  // meanwhile.
  slots_.clear();
  slots_.shrink_to_fit();
  slots_.assign(size, 0);
  mask_ = size - 1;
  for (std::size_t place = 0; place < arena_.size();) {
    const std::string_view name = name_at(place);
    const std::uint64_t hash = hash_text(name);
    std::size_t i = hash & mask_;
    while (slots_[i] != 0) i = (i + 1) & mask_;
    slots_[i] = fingerprint(hash) | place;
    place += sizeof(std::uint16_t) + name.size();
  }
}

}  // namespace unitcheck
