#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lint/utf8.h"

namespace unitcheck::lint {

// A value longer than this many bytes is shown cut in reports: a cell may hold megabytes, and a
// report names it, it does not copy it.
inline constexpr std::size_t kShownValueBytes = 200;

// The part of value that reports show: all of it up to kShownValueBytes, else at most that many
// of its first bytes, cut before a character rather than inside it.
inline std::string_view shown_value(std::string_view value) {
  return value.substr(0, utf8_prefix_length(value, kShownValueBytes));
}

}  // namespace unitcheck::lint
