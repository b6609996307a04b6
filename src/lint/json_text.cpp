#include "lint/json_text.h"

#include <charconv>

#include <nlohmann/json.hpp>

namespace unitcheck::lint {

namespace {

// Printable ASCII other than the quote and the backslash: a text of such bytes alone is its own
// JSON encoding, between quotes.
bool needs_no_escape(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7e || c == '"' || c == '\\') return false;
  }
  return true;
}

}  // namespace

JsonText& JsonText::string(std::string_view text) {
  // Most texts are plain; only the others pay for the library's encoder and its allocations.
  if (needs_no_escape(text)) return raw("\"").raw(text).raw("\"");
  return raw(nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

JsonText& JsonText::string_or_null(std::string_view text) {
  return text.empty() ? raw("null") : string(text);
}

JsonText& JsonText::number(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return raw(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

}  // namespace unitcheck::lint
