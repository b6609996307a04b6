#include "lint/json_text.h"

#include <algorithm>
#include <array>

#include <nlohmann/json.hpp>

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

// The library's encoding of a text, without its quotes.
std::string library_encoding(std::string_view text) {
  const std::string encoded =
      nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return encoded.substr(1, encoded.size() - 2);
}

// The library's encoding of each byte alone: most runs to encode are one byte (a quote).
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

JsonText& JsonText::string(std::string_view text) {
  // Runs of plain bytes go in as they are; every other run goes through the library's encoder
  // (escapes, invalid UTF-8 replaced). A plain byte never continues a UTF-8 sequence, so the
  // library sees each run as it would within the whole text.
  out_ += '"';
  while (!text.empty()) {
    const auto special = std::find_if_not(text.begin(), text.end(), is_plain);
    out_.append(text.begin(), special);
    const auto plain = std::find_if(special, text.end(), is_plain);
    if (plain - special == 1) {
      out_ += single_byte_encodings()[static_cast<unsigned char>(*special)];
    } else if (special != plain) {
      out_ += library_encoding(std::string_view(special, plain));
    }
    text.remove_prefix(static_cast<std::size_t>(plain - text.begin()));
  }
  out_ += '"';
  return *this;
}

JsonText& JsonText::string_or_null(std::string_view text) {
  return text.empty() ? raw("null") : string(text);
}

JsonText& JsonText::number(std::int64_t value) {
  append_int(out_, value);
  return *this;
}

}  // namespace unitcheck::lint
