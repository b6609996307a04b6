#pragma once

// Tested by tests/tables/text_map_test.cpp.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace unitcheck {

// a == b, eight bytes at a time without a call for texts of eight bytes or more (most keys
// are): the last word is the last eight bytes, which may overlap the word before.
inline bool same_bytes(std::string_view a, std::string_view b) {
  const std::size_t size = a.size();
  if (size != b.size()) return false;
  if (size < 8) return a == b;
  auto word = [](const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  };
  for (std::size_t i = 0; i + 8 < size; i += 8)
    if (word(a.data() + i) != word(b.data() + i)) return false;
  return word(a.data() + size - 8) == word(b.data() + size - 8);
}

// The hash of a byte string: eight bytes at a time, each mixed in by a multiplication; never 0.
inline std::uint64_t hash_text(std::string_view key) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = key.size() * kMultiplier;
  std::size_t i = 0;
  for (; i + 8 <= key.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, key.data() + i, 8);
    h = (h ^ word) * kMultiplier;
    h ^= h >> 29;
  }
  std::uint64_t tail = 0;
  const std::size_t rest = key.size() - i;
  if (rest != 0 && std::endian::native == std::endian::little && key.size() >= 8) {
    // The last eight bytes, shifted down to the rest: the same value as the copy of the rest
    // below, without a call for a copy of unknown length.
    std::memcpy(&tail, key.data() + key.size() - 8, 8);
    tail >>= 8 * (8 - rest);
  } else if (rest != 0) {
    std::memcpy(&tail, key.data() + i, rest);
  }
  h = (h ^ tail) * kMultiplier;
  h ^= h >> 32;
  return h | 1;
}

// A hash map from byte strings to small values, for lookups in the hot loop: open addressing
// with linear probing over one array of slots, the keys kept together in one arena, each behind
// its length. A lookup usually touches one slot and the key's bytes, nothing else.
template <class Value>
class TextMap {
 public:
  const Value* find(std::string_view key) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t hash = hash_text(key);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.hash == 0) return nullptr;
      if (slot.hash == hash && same_bytes(key_at(slot), key)) return &slot.value;
    }
  }
  bool contains(std::string_view key) const { return find(key) != nullptr; }

  // Adds the key with its value; a key already present keeps its first value.
  void insert(std::string_view key, Value value) {
    if ((size_ + 1) * 2 > slots_.size()) rehash(slots_.empty() ? 16 : slots_.size() * 2);
    if (place(hash_text(key), key, value)) ++size_;
  }

  // Makes room for count keys of key_bytes bytes in all, so that adding them never regrows
  // the slots, nor the arena.
  void reserve(std::size_t count, std::size_t key_bytes = 0) {
    std::size_t wanted = 16;
    while (wanted < count * 2) wanted *= 2;
    if (wanted > slots_.size()) rehash(wanted);
    arena_.reserve(count * sizeof(std::size_t) + key_bytes);
  }

  std::size_t size() const { return size_; }
  // Calls f with each key, in no particular order. The views stay valid until the next insert.
  template <class F>
  void for_each_key(F&& f) const {
    for (const Slot& slot : slots_)
      if (slot.hash != 0) f(key_at(slot));
  }
  void clear() {
    slots_.clear();
    arena_.clear();
    size_ = 0;
    mask_ = 0;
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;  // 0 marks an empty slot; real hashes are never 0
    std::size_t offset = 0;  // of the key's length in the arena, its bytes follow
    [[no_unique_address]] Value value{};
  };

  std::string_view key_at(const Slot& slot) const {
    std::size_t length;
    std::memcpy(&length, arena_.data() + slot.offset, sizeof length);
    // The arena holds the key's bytes after its length, as place() put them.
    return std::string_view(arena_.data() + slot.offset + sizeof length, length);
  }

  // Puts the key into its slot unless it is there already; true when it was added.
  bool place(std::uint64_t hash, std::string_view key, const Value& value) {
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.hash == hash && key_at(slot) == key) return false;
      if (slot.hash != 0) continue;
      slot = Slot{hash, arena_.size(), value};
      const std::size_t length = key.size();
      arena_.append(reinterpret_cast<const char*>(&length), sizeof length);
      arena_.append(key);
      return true;
    }
  }

  // Moves every key into a new array of slot_count slots, a power of two.
  void rehash(std::size_t slot_count) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slot_count, Slot{});
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.hash == 0) continue;
      for (std::size_t i = slot.hash & mask_;; i = (i + 1) & mask_) {
        if (slots_[i].hash != 0) continue;
        slots_[i] = slot;
        break;
      }
    }
  }

  std::vector<Slot> slots_;
  std::string arena_;
  std::size_t size_ = 0;
  std::size_t mask_ = 0;
};

// A set of byte strings. Its slots hold no value at all.
class TextSet {
 public:
  bool contains(std::string_view key) const { return map_.contains(key); }
  void insert(std::string_view key) { map_.insert(key, Member{}); }
  void reserve(std::size_t count, std::size_t key_bytes = 0) { map_.reserve(count, key_bytes); }
  std::size_t size() const { return map_.size(); }
  template <class F>
  void for_each_key(F&& f) const {
    map_.for_each_key(std::forward<F>(f));
  }

 private:
  struct Member {};
  TextMap<Member> map_;
};

}  // namespace unitcheck
