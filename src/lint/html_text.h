#pragma once

#include <string>
#include <string_view>

#include "lint/visible_text.h"

namespace unitcheck::lint {

// Appends text as HTML character data or a quoted attribute value: what a terminal would not
// show as it is goes as the text form shows it (put_visible: \xhh, \u{hhhh}), and the five
// bytes that HTML gives a meaning (& < > " ') as character references, so that a mod's text
// never opens an element, an attribute or a comment.
inline void append_html(std::string& out, std::string_view text) {
  put_visible(text, false, [&out](std::string_view piece) {
    // Runs between the special bytes go whole.
    std::size_t run = 0;
    for (std::size_t i = 0; i < piece.size(); ++i) {
      std::string_view reference;
      switch (piece[i]) {
        case '&':
          reference = "&amp;";
          break;
        case '<':
          reference = "&lt;";
          break;
        case '>':
          reference = "&gt;";
          break;
        case '"':
          reference = "&quot;";
          break;
        case '\'':
          reference = "&#39;";
          break;
        default:
          continue;
      }
      out.append(piece.substr(run, i - run)).append(reference);
      run = i + 1;
    }
    out.append(piece.substr(run));
  });
}

inline std::string html_text(std::string_view text) {
  std::string out;
  append_html(out, text);
  return out;
}

}  // namespace unitcheck::lint
