#pragma once

#include <cstddef>
#include <string_view>

#include "server/json_rpc.h"

namespace unitcheck::server {

// Strings at least this long are read by the fast path of parse_message.
inline constexpr std::size_t kLongString = std::size_t{16} << 10;

// The JSON value of a message body, or a discarded value when the body is not JSON, exactly as
// nlohmann-json's parser decides. A document's text arrives as one JSON string of up to tens of
// megabytes, which that parser reads a byte at a time: strings of kLongString bytes or more are
// found first by their quotes, taken out of the body, and unescaped 16 bytes at a time (with the
// same rules: no control byte, UTF-8 only, escapes of JSON, surrogates paired); the parser reads
// what is left, and each long string takes its place again as the parser meets it.
Json parse_message(std::string_view body);

}  // namespace unitcheck::server
