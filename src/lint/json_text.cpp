#include "lint/json_text.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>

#include <nlohmann/json.hpp>

#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

// Printable ASCII other than the quote and the backslash: such a byte is its own JSON encoding,
// and never part of a longer UTF-8 sequence.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> plain{};
  for (int byte = 0x20; byte <= 0x7e; ++byte) plain[static_cast<std::size_t>(byte)] = true;
  plain['"'] = plain['\\'] = false;
  return plain;
}();

bool is_plain(char c) {
  return kPlain[static_cast<unsigned char>(c)];
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Whether some byte of the word is zero. A borrow can only flag a byte above one that is.
constexpr bool has_zero_byte(std::uint64_t word) {
  return ((word - kOnes) & ~word & kHighBits) != 0;
}

// Whether some byte of the eight is not plain: below 0x20, 0x7f and up, a quote or a
// backslash. Messages and values are mostly plain: eight bytes are passed at a time.
constexpr bool has_special_byte(std::uint64_t word) {
  const bool control = ((word - 0x20 * kOnes) & ~word & kHighBits) != 0;
  const bool high = ((((word & ~kHighBits) + kOnes) | word) & kHighBits) != 0;
  return control || high || has_zero_byte(word ^ ('"' * kOnes)) ||
         has_zero_byte(word ^ ('\\' * kOnes));
}

// The length of text's leading run of plain bytes.
std::size_t plain_prefix(std::string_view text) {
  std::size_t length = 0;
  for (; length + 8 <= text.size(); length += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + length, sizeof word);
    if (has_special_byte(word)) break;
  }
  while (length < text.size() && is_plain(text[length])) ++length;
  return length;
}

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
  // Runs of plain bytes go in as they are, other ASCII bytes as the library encodes each alone,
  // and runs of bytes of 0x80 and up through the library's encoder (invalid UTF-8 replaced). An
  // ASCII byte never continues a UTF-8 sequence, so the library sees each run as it would
  // within the whole text.
  const auto is_ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  const std::array<std::string, 256>& one_byte = single_byte_encodings();
  out_ += '"';
  while (!text.empty()) {
    const std::size_t plain = plain_prefix(text);
    out_.append(text.data(), plain);
    text.remove_prefix(plain);
    if (text.empty()) break;
    if (is_ascii(text.front())) {
      out_ += one_byte[static_cast<unsigned char>(text.front())];
      text.remove_prefix(1);
      continue;
    }
    const auto run_end = std::find_if(text.begin() + 1, text.end(), is_ascii);
    const std::string_view run(text.begin(), run_end);
    out_ +=
        run.size() == 1 ? one_byte[static_cast<unsigned char>(run.front())] : library_encoding(run);
    text.remove_prefix(run.size());
  }
  out_ += '"';
  return *this;
}

JsonText& JsonText::plain_string(std::string_view text) {
  assert(plain_prefix(text) == text.size());
  out_ += '"';
  out_.append(text);
  out_ += '"';
  return *this;
}

JsonText& JsonText::string_or_null(std::string_view text) {
  return text.empty() ? raw("null") : string(text);
}

JsonText& JsonText::number(std::int64_t value) {
  append_int(out_, value);
  return *this;
}

}  // namespace unitcheck::lint
