#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace unitcheck::server {

// Bytes and whatever keeps them alive. A document's text may be a range of the message body it
// arrived in, which then lives as long as the document does, rather than a copy of it.
struct SharedText {
  std::shared_ptr<const void> owner;
  std::string_view bytes;
};

inline SharedText shared_text(std::string text) {
  auto owner = std::make_shared<const std::string>(std::move(text));
  const std::string_view bytes = *owner;
  return SharedText{std::move(owner), bytes};
}

}  // namespace unitcheck::server
