#include "validate/name_set.h"

#include <utility>

#include "tables/text_map.h"

namespace unitcheck {

namespace {

constexpr std::uint64_t kTaken = std::uint64_t{1} << 63;
constexpr int kPlaceBits = 40;
constexpr std::uint64_t kPlaceMask = (std::uint64_t{1} << kPlaceBits) - 1;

// The slot's top bits: taken, and the hash's high bits (the low ones pick the home slot).
std::uint64_t fingerprint(std::uint64_t hash) {
  return kTaken | (hash >> (kPlaceBits + 1) << kPlaceBits);
}

}  // namespace

void NameSet::reserve_bytes(std::size_t name_bytes) {
  arena_.reserve(name_bytes);
}

std::string_view NameSet::name_at(std::uint64_t slot) const {
  const char* at = arena_.data() + (slot & kPlaceMask);
  std::uint16_t length;
  std::memcpy(&length, at, sizeof length);
  return std::string_view(at + sizeof length, length);
}

std::size_t NameSet::slot_of(std::string_view name, std::uint64_t hash) const {
  const std::uint64_t wanted = fingerprint(hash);
  for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0 || ((slot & ~kPlaceMask) == wanted && same_bytes(name_at(slot), name))) return i;
  }
}

bool NameSet::contains(std::string_view name) const {
  if (slots_.empty()) return false;
  return slots_[slot_of(name, hash_text(name))] != 0;
}

void NameSet::insert(std::string_view name) {
  name = name.substr(0, kLongestName);
  if ((count_ + 1) * 4 > slots_.size() * 3) grow();
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

void NameSet::grow() {
  const std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, 0);
  mask_ = slots_.size() - 1;
  // The home comes from the hash's low bits, which the slot does not keep: each name is hashed
  // again, once per doubling.
  for (const std::uint64_t slot : old) {
    if (slot == 0) continue;
    std::size_t i = hash_text(name_at(slot)) & mask_;
    while (slots_[i] != 0) i = (i + 1) & mask_;
    slots_[i] = slot;
  }
}

}  // namespace unitcheck
