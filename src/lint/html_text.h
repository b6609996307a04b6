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
    for (const char c : piece) {
      switch (c) {
        case '&':
          out.append("&amp;");
          break;
        case '<':
          out.append("&lt;");
          break;
        case '>':
          out.append("&gt;");
          break;
        case '"':
          out.append("&quot;");
          break;
        case '\'':
          out.append("&#39;");
          break;
        default:
          out.push_back(c);
      }
    }
  });
}

inline std::string html_text(std::string_view text) {
  std::string out;
  append_html(out, text);
  return out;
}

}  // namespace unitcheck::lint
