#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace unitcheck::lint {

// The SHA-256 digest of text (FIPS 180-4).
std::array<std::uint8_t, 32> sha256(std::string_view text);

// A Content-Security-Policy source that allows exactly this inline text: "'sha256-<base64>'".
std::string csp_hash_source(std::string_view text);

}  // namespace unitcheck::lint
