#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "tables/text_map.h"  // hash_text, same_bytes

namespace unitcheck {

// A set of short byte strings (at most 65,535 bytes each), kept once each in the order they
// were first added, for the part list's names: millions of them must cost little more than their
// bytes. Each name lies in one arena behind its two-byte length; slots of eight bytes hold a
// fingerprint of its hash and its place, and are at most half full, so that a name that is not
// there is told after a probe or two. (A TextSet keeps an eight-byte length per key and slots of
// 16 bytes.)
class NameSet {
 public:
  static constexpr std::size_t kLongestName = 0xFFFF;

  // Makes room for count names of name_bytes bytes in all, so that neither the slots nor the
  // arena are made anew while they are added (pages of the arena that they do not fill are
  // never touched; the slots are, so count should be near the names to come).
  void reserve(std::size_t count, std::size_t name_bytes);
  // Adds a name unless it is there; one of more than kLongestName bytes is cut to them.
  void insert(std::string_view name);
  bool contains(std::string_view name) const {
    return !slots_.empty() && slots_[slot_of(name, hash_text(name))] != 0;
  }

  std::size_t size() const { return count_; }
  // Calls f(std::string_view name) for each name, in the order they were first added.
  template <class F>
  void for_each(F&& f) const;

 private:
  static constexpr std::uint64_t kTaken = std::uint64_t{1} << 63;
  static constexpr int kPlaceBits = 40;
  static constexpr std::uint64_t kPlaceMask = (std::uint64_t{1} << kPlaceBits) - 1;

  // The slot's top bits: taken, and the hash's high bits (its low bits pick the home slot).
  static std::uint64_t fingerprint(std::uint64_t hash) {
    return kTaken | (hash >> (kPlaceBits + 1) << kPlaceBits);
  }
  std::string_view name_at(std::uint64_t slot) const {
    const char* at = arena_.data() + (slot & kPlaceMask);
    std::uint16_t length;
    std::memcpy(&length, at, sizeof length);
    return std::string_view(at + sizeof length, length);
  }
  // The slot where name (whose hash is given) is, or the empty one where it goes. Inline: the
  // nested-list checks look names up in their hot loop.
  std::size_t slot_of(std::string_view name, std::uint64_t hash) const {
    const std::uint64_t wanted = fingerprint(hash);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const std::uint64_t slot = slots_[i];
      if (slot == 0 || ((slot & ~kPlaceMask) == wanted && same_bytes(name_at(slot), name)))
        return i;
    }
  }
  // Makes slot_count slots (a power of two) and places every name again.
  void place_all(std::size_t slot_count);

  std::vector<std::uint64_t> slots_;  // taken (bit 63), fingerprint (40 to 62), place (0 to 39)
  std::string arena_;                 // each name behind its length
  std::size_t count_ = 0;
  std::size_t mask_ = 0;
};

template <class F>
void NameSet::for_each(F&& f) const {
  for (std::size_t at = 0; at < arena_.size();) {
    std::uint16_t length;
    std::memcpy(&length, arena_.data() + at, sizeof length);
    f(std::string_view(arena_.data() + at + sizeof length, length));
    at += sizeof length + length;
  }
}

}  // namespace unitcheck
