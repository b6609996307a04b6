#include "server/hover_text.h"

#include <algorithm>

#include "lint/utf8.h"
#include "lint/visible_text.h"

namespace unitcheck::server {

std::string visible_data(std::string_view text, std::size_t limit) {
  const std::size_t shown = lint::utf8_prefix_length(text, limit);
  std::string out;
  lint::put_visible(text.substr(0, shown), false,
                    [&](std::string_view piece) { out.append(piece); });
  if (shown < text.size()) out.append("…");
  return out;
}

void HoverText::strong(std::string_view text) {
  if (markdown_) out_.append("**");
  out_.append(text);
  if (markdown_) out_.append("**");
}

void HoverText::data(std::string_view text, std::size_t limit) {
  const std::string shown = visible_data(text, limit);
  if (!markdown_) {
    out_.append(shown);
    return;
  }
  if (shown.empty()) {
    out_.append("(empty)");
    return;
  }
  // A code span's fence is one backtick longer than the longest run in it; a space on each side
  // when the text begins or ends with a backtick or a space, which the span then keeps.
  std::size_t longest = 0;
  for (std::size_t run = 0; char c : shown) {
    run = c == '`' ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  const std::string fence(longest + 1, '`');
  const bool pad =
      shown.front() == '`' || shown.back() == '`' || shown.front() == ' ' || shown.back() == ' ';
  out_.append(fence);
  if (pad) out_.push_back(' ');
  out_.append(shown);
  if (pad) out_.push_back(' ');
  out_.append(fence);
}

void HoverText::paragraph() {
  out_.append(markdown_ ? "\n\n" : "\n");
}

}  // namespace unitcheck::server
