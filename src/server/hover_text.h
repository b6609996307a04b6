#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace unitcheck::server {

// The most bytes of one text of the data that a hover shows, and of a finding's message (whose
// quoted values are cut to 200 bytes already).
inline constexpr std::size_t kHoverTextLimit = 200;
inline constexpr std::size_t kHoverMessageLimit = 1000;

// A hover's text, as Markdown or as plain text. Words of the server go in as they are; texts
// of the data are hostile (a unit named "[x](javascript:…)", with backticks or control
// characters): they are cut to kHoverTextLimit bytes, their control characters and bytes of no
// character shown as \xhh or \u{hhhh}, and in Markdown they stand in a code span, where
// nothing is a link, an image, HTML or emphasis.
class HoverText {
 public:
  explicit HoverText(bool markdown) : markdown_(markdown) {}

  // Words of the server, which hold no Markdown but what strong() adds.
  void words(std::string_view text) { out_.append(text); }
  void strong(std::string_view text);
  // A text of the data, cut to limit bytes.
  void data(std::string_view text, std::size_t limit = kHoverTextLimit);
  // Ends a paragraph.
  void paragraph();
  bool markdown() const { return markdown_; }
  std::string take() { return std::move(out_); }

 private:
  bool markdown_;
  std::string out_;
};

// text cut to limit bytes (before a character) with its control characters and bytes
// of no character made visible: what a client may show of the data anywhere.
std::string visible_data(std::string_view text, std::size_t limit = kHoverTextLimit);

}  // namespace unitcheck::server
