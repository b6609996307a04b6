#pragma once

#include <cstddef>
#include <string_view>

#include "lint/utf8.h"

namespace unitcheck::lint {

// Whether a character of a mod's text must not reach a terminal or a CI log as it is: it moves
// the cursor, ends a line or reorders what follows (C0 and C1 controls, DEL, the bidirectional
// marks, embeddings, overrides and isolates, the line and paragraph separators).
constexpr bool is_invisible_control(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// "\xhh" for a byte, "\u{hhhh}" for a character: lower-case hexadecimal.
class VisibleEscape {
 public:
  static VisibleEscape byte(unsigned char b) {
    VisibleEscape e;
    e.put('\\');
    e.put('x');
    e.hex(b, 2);
    return e;
  }
  static VisibleEscape character(char32_t c) {
    VisibleEscape e;
    e.put('\\');
    e.put('u');
    e.put('{');
    e.hex(c, c > 0xFFFF ? 6 : 4);
    e.put('}');
    return e;
  }
  std::string_view view() const { return {text_, size_}; }

 private:
  void put(char c) { text_[size_++] = c; }
  void hex(char32_t value, int digits) {
    constexpr char kDigits[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) put(kDigits[(value >> shift) & 15]);
  }
  char text_[12] = {};
  std::size_t size_ = 0;
};

// Calls put with text in pieces that a terminal shows as they are: runs of printable ASCII and
// of well-formed UTF-8, each other byte as \xhh (control bytes, DEL, bytes of no UTF-8
// sequence), each invisible control character (is_invisible_control) as \u{hhhh}, and, when
// quotes is set, each quote as \". The usual text holds none of them: one piece.
template <class Put>
void put_visible(std::string_view text, bool quotes, Put&& put) {
  while (!text.empty()) {
    std::size_t run = 0;
    Utf8Char at_stop;
    while (run < text.size()) {
      const auto b = static_cast<unsigned char>(text[run]);
      if (b >= 0x20 && b < 0x7F && !(quotes && b == '"')) {
        ++run;
        continue;
      }
      if (b < 0x80) break;
      at_stop = first_utf8_char(text.substr(run));
      if (at_stop.length == 0 || is_invisible_control(at_stop.code_point)) break;
      run += at_stop.length;
    }
    if (run > 0) put(text.substr(0, run));
    if (run == text.size()) return;
    const auto b = static_cast<unsigned char>(text[run]);
    std::size_t taken = 1;
    if (b == '"') {
      put(std::string_view("\\\""));
    } else if (b < 0x80 || at_stop.length == 0) {
      put(VisibleEscape::byte(b).view());
    } else {
      put(VisibleEscape::character(at_stop.code_point).view());
      taken = at_stop.length;
    }
    text.remove_prefix(run + taken);
  }
}

}  // namespace unitcheck::lint
