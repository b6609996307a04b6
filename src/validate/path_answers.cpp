#include "validate/path_answers.h"

#include <cstring>
#include <utility>

#include "tables/fingerprint_slots.h"
#include "tables/text_map.h"  // same_bytes

namespace unitcheck {

namespace {

constexpr std::uint64_t kTaken = std::uint64_t{1} << 63;
constexpr std::uint64_t kAnswerBit = std::uint64_t{1} << 32;
constexpr std::size_t kArenaLimit = std::size_t{1} << 32;
constexpr std::size_t kLongestPath = kArenaLimit / 2;

// The hash's bits 33 to 62, where a slot keeps them (and its home: fingerprint_slots.h), above
// its answer and its path's place; the slot's top bit marks it taken.
std::uint64_t fingerprint(std::uint64_t hash) {
  return (hash >> 33 << 33 & ~kTaken) | kTaken;
}

constexpr std::uint64_t kFingerprintBits = ~(kAnswerBit | 0xFFFFFFFFu);
constexpr std::uint64_t kPlaceBits = 0xFFFFFFFFu;

// A slot's fields share no bit, fill all 64, and a place reaches every byte of the arena.
static_assert((kFingerprintBits & kAnswerBit) == 0 && (kFingerprintBits & kPlaceBits) == 0 &&
              (kAnswerBit & kPlaceBits) == 0);
static_assert((kFingerprintBits | kAnswerBit | kPlaceBits) == ~std::uint64_t{0});
static_assert((kTaken & kFingerprintBits) == kTaken && kArenaLimit - 1 == kPlaceBits);

}  // namespace

std::string_view PathAnswers::path_at(std::uint64_t slot) const {
  const char* at = arena_.data() + static_cast<std::uint32_t>(slot);
  std::uint32_t length;
  std::memcpy(&length, at, sizeof length);
  return std::string_view(at + sizeof length, length);
}

int PathAnswers::find(std::string_view path, std::uint64_t hash) const {
  if (slots_.empty()) return -1;
  const std::uint64_t wanted = fingerprint(hash);
  for (std::size_t i = home_slot(wanted, mask_);; i = (i + 1) & mask_) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) return -1;
    if ((slot & kFingerprintBits) == wanted && same_bytes(path_at(slot), path))
      return (slot & kAnswerBit) != 0 ? 1 : 0;
  }
}

void PathAnswers::insert(std::string_view path, std::uint64_t hash, bool answer) {
  // Places and lengths are four bytes: a path of gigabytes is not kept, and an arena that would
  // outgrow them starts afresh.
  if (path.size() > kLongestPath) return;
  const auto length = static_cast<std::uint32_t>(path.size());
  if (arena_.size() + sizeof length + path.size() > kArenaLimit) clear();
  if ((count_ + 1) * 2 > slots_.size()) grow_slots(slots_, mask_);
  const std::uint64_t wanted = fingerprint(hash);
  std::size_t i = home_slot(wanted, mask_);
  for (; slots_[i] != 0; i = (i + 1) & mask_)
    if ((slots_[i] & kFingerprintBits) == wanted && same_bytes(path_at(slots_[i]), path)) return;
  const auto place = static_cast<std::uint32_t>(arena_.size());
  arena_.resize(arena_.size() + sizeof length + path.size());
  std::memcpy(arena_.data() + place, &length, sizeof length);
  if (!path.empty()) std::memcpy(arena_.data() + place + sizeof length, path.data(), path.size());
  slots_[i] = wanted | (answer ? kAnswerBit : 0) | place;
  ++count_;
}

void PathAnswers::keep_only(const std::vector<bool>& kept) {
  // A slot's home is read from its fingerprint, so the kept slots go to the same size of
  // table without their paths being hashed again; only their places change.
  const std::vector<std::uint64_t> old_slots = std::move(slots_);
  const std::vector<char> old_arena = std::move(arena_);
  slots_.assign(old_slots.size(), 0);
  arena_.clear();
  count_ = 0;
  for (std::size_t k = 0; k < old_slots.size(); ++k) {
    if (!kept[k]) continue;
    const std::uint64_t slot = old_slots[k];
    std::uint32_t length;
    std::memcpy(&length, old_arena.data() + static_cast<std::uint32_t>(slot), sizeof length);
    const auto place = static_cast<std::uint32_t>(arena_.size());
    const char* from = old_arena.data() + static_cast<std::uint32_t>(slot);
    arena_.insert(arena_.end(), from, from + sizeof length + length);
    std::size_t i = home_slot(slot, mask_);
    while (slots_[i] != 0) i = (i + 1) & mask_;
    slots_[i] = (slot & ~std::uint64_t{0xFFFFFFFF}) | place;
    ++count_;
  }
}

void PathAnswers::clear() {
  slots_.clear();
  arena_.clear();
  count_ = 0;
  mask_ = 0;
}

}  // namespace unitcheck
