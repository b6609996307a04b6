#pragma once

// Tested through its two users: tests/validate/path_answers_test.cpp and
// tests/validate/directory_records_test.cpp (growing with many keys, every key found after).

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace unitcheck {

// Open-addressing tables of 8-byte slots, 0 for an empty one, each keeping a fingerprint of its
// key's hash in its bits 33 and up. A slot's home, where linear probing starts, is read from
// those bits, so slots move to a larger array without their keys being read or hashed again.
inline std::size_t home_slot(std::uint64_t fingerprint, std::size_t mask) {
  return static_cast<std::size_t>(fingerprint >> 33) & mask;
}

// Doubles the slots (16 at first) and sets mask to match; each slot goes to its home, or to the
// first empty slot after it.
inline void grow_slots(std::vector<std::uint64_t>& slots, std::size_t& mask) {
  const std::vector<std::uint64_t> old = std::move(slots);
  slots.assign(old.empty() ? 16 : old.size() * 2, 0);
  mask = slots.size() - 1;
  for (const std::uint64_t slot : old) {
    if (slot == 0) continue;
    std::size_t i = home_slot(slot, mask);
    while (slots[i] != 0) i = (i + 1) & mask;
    slots[i] = slot;
  }
}

}  // namespace unitcheck
