#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "tables/convert.h"

namespace unitcheck {

// A set of bytes, tested by table lookup.
class CharSet {
 public:
  constexpr explicit CharSet(std::string_view members) : members_{} {
    for (char c : members) members_[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool contains(char c) const { return members_[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> members_;
};

// The bytes an integer cell may hold: no plus sign, no blank.
inline constexpr CharSet integer_chars("-0123456789");
// The bytes a floating-point cell may hold.
inline constexpr CharSet float_chars("+-.0123456789Ee");
// The bytes that cut a Mesh cell into pieces.
inline constexpr CharSet mesh_delimiters(";{}");

// The words a boolean cell of the unit table may hold.
constexpr bool is_boolean_word(std::string_view value) {
  return value == "TRUE" || value == "true" || value == "false" || value == "FALSE" ||
         value == "0" || value == "1";
}

// The words a boolean value of a nested list may hold, besides none.
constexpr bool is_boolean_digit(std::string_view value) {
  return value == "1" || value == "0";
}

// True when every byte of text belongs to set; true for empty text.
constexpr bool all_chars_in(std::string_view text, const CharSet& set) {
  for (char c : text)
    if (!set.contains(c)) return false;
  return true;
}

}  // namespace unitcheck
