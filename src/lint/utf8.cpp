#include "lint/utf8.h"

namespace unitcheck::lint {

namespace {

// The number of bytes of a sequence that starts with lead, and the range its second byte must
// lie in (narrower than 80..BF after E0, ED, F0 and F4); 0 for a byte that starts none.
struct Lead {
  int length;
  unsigned char low;
  unsigned char high;
};

constexpr Lead lead_of(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

Utf8Char first_utf8_char(std::string_view text) {
  if (text.empty()) return {};
  const auto first = static_cast<unsigned char>(text[0]);
  const Lead lead = lead_of(first);
  if (lead.length == 0 || text.size() < static_cast<std::size_t>(lead.length)) return {};
  // The lead's own bits: 7, 5, 4 or 3 of them.
  char32_t code_point = first & (lead.length == 1 ? 0x7F : 0x7F >> lead.length);
  for (int k = 1; k < lead.length; ++k) {
    const auto b = static_cast<unsigned char>(text[static_cast<std::size_t>(k)]);
    const unsigned char low = k == 1 ? lead.low : 0x80;
    const unsigned char high = k == 1 ? lead.high : 0xBF;
    if (b < low || b > high) return {};
    code_point = (code_point << 6) | (b & 0x3F);
  }
  return {static_cast<std::size_t>(lead.length), code_point};
}

bool is_valid_utf8(std::string_view text) {
  while (!text.empty()) {
    const std::size_t length = first_utf8_char(text).length;
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::size_t utf8_prefix_length(std::string_view text, std::size_t most) {
  if (text.size() <= most) return text.size();
  // The character the cut falls in starts at most three bytes before it.
  for (std::size_t back = 1; back <= 3 && back <= most; ++back) {
    const auto byte = static_cast<unsigned char>(text[most - back]);
    if ((byte & 0xC0) == 0x80) continue;
    return first_utf8_char(text.substr(most - back)).length > back ? most - back : most;
  }
  return most;
}

std::string hex_bytes(std::string_view text) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * text.size());
  for (const char c : text) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

}  // namespace unitcheck::lint
