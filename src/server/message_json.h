#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "server/byte_buffer.h"
#include "server/json_rpc.h"
#include "server/shared_text.h"

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

// A message read by read_message: its value, and the long texts that value marks.
struct Message {
  Json json;
  std::vector<SharedText> texts;
};

// The same value as parse_message, but reading the body in place: a long string that is the
// "text" of an object (a document's text, whole or an edit's) is unescaped in the body's own
// bytes (never longer than the literal) and stays there, kept alive by the texts that hold it,
// with a marker in its place in the value (see message_text). A document of tens of megabytes
// then costs no second buffer of its size, nor the freeing of the first.
Message read_message(ByteBuffer body);

// The text that value marks in message; null when it is not such a marker.
const SharedText* message_text(const Json& value, const Message& message);

}  // namespace unitcheck::server
