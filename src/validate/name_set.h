#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

// A set of short byte strings (at most 65,535 bytes each), kept once each in the order they
// were first added, for the part list's names: millions of them must cost little more than their
// bytes. Each name lies in one arena behind its two-byte length; slots of eight bytes hold a
// fingerprint of its hash and its place, and are at most three quarters full. (A TextSet keeps
// an eight-byte length per key and 16-byte slots at most half full: three times the memory.)
class NameSet {
 public:
  static constexpr std::size_t kLongestName = 0xFFFF;

  // Makes room for names of name_bytes bytes in all, so that the arena never moves while they
  // are added (pages of it that they do not fill are never touched).
  void reserve_bytes(std::size_t name_bytes);
  // Adds a name unless it is there; one of more than kLongestName bytes is cut to them.
  void insert(std::string_view name);
  bool contains(std::string_view name) const;

  std::size_t size() const { return count_; }
  // Calls f(std::string_view name) for each name, in the order they were first added.
  template <class F>
  void for_each(F&& f) const;

 private:
  // The slot where name (whose hash is given) is, or the empty one where it goes.
  std::size_t slot_of(std::string_view name, std::uint64_t hash) const;
  std::string_view name_at(std::uint64_t slot) const;
  // Doubles the slots and places every name again.
  void grow();

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
