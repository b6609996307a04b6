// Checks shared by the conversion fuzz targets. A broken invariant stops the run with a trap, which
// libFuzzer records as a crash and the corpus replay reports as a failed test.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

namespace unitcheck::fuzz {

inline void require(bool holds) {
  if (!holds) __builtin_trap();
}

// The error position is 0, a position within the text, one past its end, or 256 for a text
// longer than 255 bytes; the value is 0 whenever the position is not.
template <class Result>
void require_result_shape(std::string_view text, const Result& result) {
  const auto end = static_cast<int>(text.size()) + 1;
  if (text.size() > 255) {
    require(result.error_position == 256);
  } else {
    require(result.error_position >= 0 && result.error_position <= end);
  }
  require(result.error_position == 0 || result.value == 0);
}

// A leading blank changes nothing but moves a failure one position on.
template <class Convert>
void require_blank_shift(std::string_view text, Convert convert) {
  if (text.size() >= 255) return;
  const auto plain = convert(text);
  std::string shifted(1, ' ');
  shifted += text;
  const auto blank = convert(shifted);
  require(blank.error_position == (plain.error_position == 0 ? 0 : plain.error_position + 1));
  require(blank.value == plain.value || (std::isnan(blank.value) && std::isnan(plain.value)));
}

}  // namespace unitcheck::fuzz
