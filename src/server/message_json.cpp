#include "server/message_json.h"

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lint/json_bytes.h"
#include "lint/utf8.h"

namespace unitcheck::server {
namespace {

// A long string literal of the body: which string it is, counting keys, and where its quotes are.
struct LongString {
  std::size_t ordinal;
  std::size_t open;   // the opening quote
  std::size_t close;  // the closing quote
};

// The closing quote of the string whose opening quote is at open; npos when there is none.
std::size_t closing_quote(std::string_view body, std::size_t open) {
  for (std::size_t at = open + 1;;) {
    const void* found = std::memchr(body.data() + at, '"', body.size() - at);
    if (found == nullptr) return std::string_view::npos;
    const auto quote = static_cast<std::size_t>(static_cast<const char*>(found) - body.data());
    std::size_t backslashes = 0;
    while (quote - backslashes > open + 1 && body[quote - backslashes - 1] == '\\') ++backslashes;
    if (backslashes % 2 == 0) return quote;
    at = quote + 1;
  }
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The four hex digits at text[at]; -1 when they are not.
long hex4(std::string_view text, std::size_t at) {
  if (at + 4 > text.size()) return -1;
  long value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const int digit = hex_digit(text[at + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The escape at text[at] (its backslash) appended to out; the bytes it took, 0 when it is not
// an escape of JSON (or a surrogate left unpaired).
std::size_t unescape_one(std::string_view text, std::size_t at, std::string& out) {
  if (at + 1 >= text.size()) return 0;
  switch (text[at + 1]) {
    case '"':
      out.push_back('"');
      return 2;
    case '\\':
      out.push_back('\\');
      return 2;
    case '/':
      out.push_back('/');
      return 2;
    case 'b':
      out.push_back('\b');
      return 2;
    case 'f':
      out.push_back('\f');
      return 2;
    case 'n':
      out.push_back('\n');
      return 2;
    case 'r':
      out.push_back('\r');
      return 2;
    case 't':
      out.push_back('\t');
      return 2;
    case 'u':
      break;
    default:
      return 0;
  }
  const long unit = hex4(text, at + 2);
  if (unit < 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) return 0;
  if (unit < 0xD800 || unit > 0xDBFF) {
    append_utf8(out, static_cast<char32_t>(unit));
    return 6;
  }
  if (at + 12 > text.size() || text[at + 6] != '\\' || text[at + 7] != 'u') return 0;
  const long low = hex4(text, at + 8);
  if (low < 0xDC00 || low > 0xDFFF) return 0;
  append_utf8(out, static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
  return 12;
}

// How many bytes at the start of text are their own JSON encoding (printable ASCII but the
// quote and the backslash). A document's text is mostly such runs: each is found sixteen bytes
// at a time and copied whole.
std::size_t plain_run(std::string_view text) {
  std::size_t at = 0;
  for (; at + 16 <= text.size(); at += 16) {
    const unsigned special = lint::special_mask16(text.data() + at);
    if (special != 0) return at + static_cast<std::size_t>(__builtin_ctz(special));
  }
  while (at < text.size() && lint::is_json_plain(text[at])) ++at;
  return at;
}

// The value of a string literal's inside (between its quotes); nullopt when JSON refuses it.
std::optional<std::string> unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t plain = plain_run(text.substr(at));
    out.append(text.data() + at, plain);
    at += plain;
    if (at == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\\') {
      const std::size_t taken = unescape_one(text, at, out);
      if (taken == 0) return std::nullopt;
      at += taken;
    } else if (byte < 0x20) {
      return std::nullopt;
    } else if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
      ++at;
    } else {
      const std::size_t length = lint::first_utf8_char(text.substr(at, 4)).length;
      if (length == 0) return std::nullopt;
      out.append(text.data() + at, length);
      at += length;
    }
  }
  return out;
}

// Builds the value from the parser's events, as nlohmann-json's own builder does, putting each
// long string in the place of the empty string left for it.
class Builder final : public nlohmann::json_sax<Json> {
 public:
  Builder(Json& root, std::vector<std::pair<std::size_t, std::string>>& long_strings)
      : root_(root), long_strings_(long_strings) {}

  bool null() override { return put(nullptr); }
  bool boolean(bool value) override { return put(value); }
  bool number_integer(number_integer_t value) override { return put(value); }
  bool number_unsigned(number_unsigned_t value) override { return put(value); }
  bool number_float(number_float_t value, const string_t&) override { return put(value); }
  bool string(string_t& value) override { return put(take_string(value)); }
  bool binary(binary_t& value) override { return put(Json::binary(std::move(value))); }
  bool start_object(std::size_t) override {
    open_.push_back(place(Json::object()));
    return true;
  }
  bool key(string_t& value) override {
    key_ = take_string(value);
    return true;
  }
  bool end_object() override {
    open_.pop_back();
    return true;
  }
  bool start_array(std::size_t) override {
    open_.push_back(place(Json::array()));
    return true;
  }
  bool end_array() override {
    open_.pop_back();
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  std::string take_string(std::string& value) {
    const std::size_t ordinal = strings_++;
    if (next_ < long_strings_.size() && long_strings_[next_].first == ordinal) {
      return std::move(long_strings_[next_++].second);
    }
    return std::move(value);
  }
  Json* place(Json value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    Json& parent = *open_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    Json& slot = parent[key_];
    slot = std::move(value);
    return &slot;
  }
  template <class Value>
  bool put(Value&& value) {
    place(Json(std::forward<Value>(value)));
    return true;
  }

  Json& root_;
  std::vector<std::pair<std::size_t, std::string>>& long_strings_;
  std::vector<Json*> open_;
  std::string key_;
  std::size_t strings_ = 0;  // strings met so far, keys included
  std::size_t next_ = 0;     // the next long string
};

}  // namespace

Json parse_message(std::string_view body) {
  // An empty body may have no bytes at all to search (a null pointer).
  if (body.empty()) return Json(Json::value_t::discarded);
  // Outside strings a quote always opens one: the literals are found by their quotes alone.
  std::vector<LongString> found;
  std::size_t ordinal = 0;
  for (std::size_t at = 0;; ++ordinal) {
    const void* quote = std::memchr(body.data() + at, '"', body.size() - at);
    if (quote == nullptr) break;
    const auto open = static_cast<std::size_t>(static_cast<const char*>(quote) - body.data());
    const std::size_t close = closing_quote(body, open);
    if (close == std::string_view::npos) break;
    if (close - open - 1 >= kLongString) found.push_back({ordinal, open, close});
    at = close + 1;
  }
  if (found.empty()) return Json::parse(body, nullptr, false);
  std::string rest;
  std::vector<std::pair<std::size_t, std::string>> long_strings;
  std::size_t copied = 0;
  for (const LongString& literal : found) {
    std::optional<std::string> value =
        unescape(body.substr(literal.open + 1, literal.close - literal.open - 1));
    if (!value) return Json(Json::value_t::discarded);
    long_strings.emplace_back(literal.ordinal, std::move(*value));
    rest.append(body.substr(copied, literal.open - copied)).append("\"\"");
    copied = literal.close + 1;
  }
  rest.append(body.substr(copied));
  Json value;
  Builder builder(value, long_strings);
  if (!Json::sax_parse(rest, &builder)) return Json(Json::value_t::discarded);
  return value;
}

}  // namespace unitcheck::server
