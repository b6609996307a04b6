#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace unitcheck::lint {

// True when text is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view text);

// The character that text begins with, when its bytes are a well-formed UTF-8 sequence.
struct Utf8Char {
  std::size_t length = 0;  // 0 when text does not begin with a well-formed sequence
  char32_t code_point = 0;
};
Utf8Char first_utf8_char(std::string_view text);

// The length of text's longest prefix of at most most bytes that ends with no well-formed
// character cut in two (bytes of no such character may be cut anywhere).
std::size_t utf8_prefix_length(std::string_view text, std::size_t most);

// The bytes as lower-case hexadecimal, two digits each.
std::string hex_bytes(std::string_view text);

}  // namespace unitcheck::lint
