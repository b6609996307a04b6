#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace unitcheck {

// Hashes std::string and std::string_view alike, so a set of strings is searched with views.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

}  // namespace unitcheck
