#include "lint/json_text.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>

#include <nlohmann/json.hpp>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The length of text's leading run of plain bytes: 16 bytes at a time where the processor has
// SSE2, then 8 at a time (everywhere: a tail of 8 to 15 bytes takes that way), then byte by byte.
std::size_t plain_prefix(std::string_view text) {
  std::size_t length = 0;
#if defined(__SSE2__)
  for (; length + 16 <= text.size(); length += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + length));
    // A signed compare: bytes of 0x80 and up are negative, below 0x20 with the controls.
    const __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7f))),
                                         _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
    if (const int mask = _mm_movemask_epi8(special); mask != 0)
      return length + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
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

void JsonText::make_room(std::size_t bytes) {
  // The room is filled with zeros as it is made: made in steps of some hundreds of bytes, about
  // what a finding's document takes.
  constexpr std::size_t kStep = 256;
  const std::size_t used = cursor_ == nullptr ? out_.size() : this->used();
  out_.resize(used + std::max(bytes, kStep));
  cursor_ = out_.data() + used;
  end_ = out_.data() + out_.size();
}

JsonText& JsonText::string(std::string_view text) {
  // Runs of plain bytes go in as they are, other ASCII bytes as the library encodes each alone,
  // and runs of bytes of 0x80 and up through the library's encoder (invalid UTF-8 replaced). An
  // ASCII byte never continues a UTF-8 sequence, so the library sees each run as it would
  // within the whole text.
  const auto is_ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  const std::array<std::string, 256>& one_byte = single_byte_encodings();
  put('"');
  while (!text.empty()) {
    const std::size_t plain = plain_prefix(text);
    put(text.data(), plain);
    text.remove_prefix(plain);
    if (text.empty()) break;
    if (text.front() == '"' || text.front() == '\\') {  // the usual ones: a value in quotes
      need(2);
      *cursor_++ = '\\';
      *cursor_++ = text.front();
      text.remove_prefix(1);
      continue;
    }
    // An ASCII byte alone, or the run of bytes of 0x80 and up that begins here.
    const auto run_end = is_ascii(text.front())
                             ? text.begin() + 1
                             : std::find_if(text.begin() + 1, text.end(), is_ascii);
    const std::string_view run(text.begin(), run_end);
    const std::string encoded =
        run.size() == 1 ? one_byte[static_cast<unsigned char>(run.front())] : library_encoding(run);
    put(encoded.data(), encoded.size());
    text.remove_prefix(run.size());
  }
  put('"');
  return *this;
}

JsonText& JsonText::plain_string(std::string_view text) {
  assert(plain_prefix(text) == text.size());
  put('"');
  put(text.data(), text.size());
  put('"');
  return *this;
}

JsonText& JsonText::string_or_null(std::string_view text) {
  return text.empty() ? raw("null") : string(text);
}

JsonText& JsonText::number(std::int64_t value) {
  need(kLongestIntText);
  cursor_ += int_to_chars(cursor_, value);
  return *this;
}

}  // namespace unitcheck::lint
