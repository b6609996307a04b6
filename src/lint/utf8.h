#pragma once

#include <string>
#include <string_view>

namespace unitcheck::lint {

// True when text is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view text);

// The bytes as lower-case hexadecimal, two digits each.
std::string hex_bytes(std::string_view text);

}  // namespace unitcheck::lint
