#include "lint/json_text.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>

#include <nlohmann/json.hpp>

#include "lint/json_bytes.h"

namespace unitcheck::lint {

namespace {

// The library's encoding of a text, without its quotes.
std::string library_encoding(std::string_view text) {
  const std::string encoded =
      nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return encoded.substr(1, encoded.size() - 2);
}

// The library's encoding of each byte alone: every ASCII byte to encode (a quote, a backslash, a
// control byte) and a lone byte of 0x80 and up.
const std::array<std::string, 256>& single_byte_encodings() {
  static const std::array<std::string, 256> encodings = [] {
    std::array<std::string, 256> table;
    for (std::size_t byte = 0; byte < table.size(); ++byte)
      table[byte] = library_encoding(std::string(1, static_cast<char>(byte)));
    return table;
  }();
  return encodings;
}

}  // namespace

JsonText& JsonText::string(std::string_view text) {
  // Sixteen bytes at a time are copied whole and the cursor moves past the plain ones; the first
  // other byte is encoded on its own: a quote or a backslash with a backslash, another ASCII byte
  // as the library encodes it alone, a run of bytes of 0x80 and up through the library's
  // encoder (invalid UTF-8 replaced). An ASCII byte never continues a UTF-8 sequence, so the
  // library sees each run as it would within the whole text. The last bytes are copied into a
  // block of their own first, so that nothing is read past the text.
  constexpr std::size_t kBlock = 16;
  const auto is_ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  const char* next = text.data();
  const char* const end = next + text.size();
  // Room for the rest as plain bytes, a closing quote and a block's overrun.
  const auto make_room_for_rest = [&] { need(static_cast<std::size_t>(end - next) + kBlock + 1); };
  need(text.size() + kBlock + 2);
  *cursor_++ = '"';
  while (next != end) {
    const auto left = static_cast<std::size_t>(end - next);
    std::size_t plain;
    if (left >= kBlock) {
      const unsigned special = special_mask16(next);
      std::memcpy(cursor_, next, kBlock);
      plain = special == 0 ? kBlock : static_cast<std::size_t>(__builtin_ctz(special));
    } else {
      char block[kBlock] = {};
      std::memcpy(block, next, left);
      const unsigned special = special_mask16(block) & ((1u << left) - 1);
      std::memcpy(cursor_, block, kBlock);
      plain = special == 0 ? left : static_cast<std::size_t>(__builtin_ctz(special));
    }
    cursor_ += plain;
    next += plain;
    if (plain == kBlock || next == end) continue;
    if (*next == '"' || *next == '\\') {  // the usual ones: a value in quotes
      cursor_[0] = '\\';
      cursor_[1] = *next++;
      cursor_ += 2;
    } else {
      // An ASCII byte alone, or the run of bytes of 0x80 and up that begins here.
      const char* const run_end =
          is_ascii(*next) ? next + 1 : std::find_if(next + 1, end, is_ascii);
      const std::string_view run(next, static_cast<std::size_t>(run_end - next));
      if (run.size() == 1) {
        const std::string& encoded = single_byte_encodings()[static_cast<unsigned char>(*next)];
        put(encoded.data(), encoded.size());
      } else {
        const std::string encoded = library_encoding(run);
        put(encoded.data(), encoded.size());
      }
      next = run_end;
    }
    make_room_for_rest();
  }
  *cursor_++ = '"';
  return *this;
}

JsonText& JsonText::plain_string(std::string_view text) {
  assert(std::all_of(text.begin(), text.end(), is_json_plain));
  put('"');
  put(text.data(), text.size());
  put('"');
  return *this;
}

JsonText& JsonText::string_or_null(std::string_view text) {
  return text.empty() ? raw("null") : string(text);
}

JsonText& JsonText::number(std::int64_t value) {
  put_number(value);
  return *this;
}

}  // namespace unitcheck::lint
