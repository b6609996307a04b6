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

bool is_valid_utf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const Lead lead = lead_of(static_cast<unsigned char>(text[i]));
    if (lead.length == 0 || text.size() - i < static_cast<std::size_t>(lead.length)) return false;
    for (int k = 1; k < lead.length; ++k) {
      const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      const unsigned char low = k == 1 ? lead.low : 0x80;
      const unsigned char high = k == 1 ? lead.high : 0xBF;
      if (b < low || b > high) return false;
    }
    i += static_cast<std::size_t>(lead.length);
  }
  return true;
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
