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

// Writes c in UTF-8 at out; the bytes written.
std::size_t put_utf8(char* out, char32_t c) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

struct Unescaped {
  std::size_t taken = 0;  // 0 when it is not an escape of JSON (or a surrogate left unpaired)
  std::size_t written = 0;
};

// The escape at text[at] (its backslash) written at out, which may lie at or before it: every
// byte of the escape is read before one is written, and no escape writes more than it takes.
Unescaped unescape_one(std::string_view text, std::size_t at, char* out) {
  if (at + 1 >= text.size()) return {};
  char plain = 0;
  switch (text[at + 1]) {
    case '"':
      plain = '"';
      break;
    case '\\':
      plain = '\\';
      break;
    case '/':
      plain = '/';
      break;
    case 'b':
      plain = '\b';
      break;
    case 'f':
      plain = '\f';
      break;
    case 'n':
      plain = '\n';
      break;
    case 'r':
      plain = '\r';
      break;
    case 't':
      plain = '\t';
      break;
    case 'u':
      break;
    default:
      return {};
  }
  if (plain != 0) {
    *out = plain;
    return {2, 1};
  }
  const long unit = hex4(text, at + 2);
  if (unit < 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) return {};
  if (unit < 0xD800 || unit > 0xDBFF) return {6, put_utf8(out, static_cast<char32_t>(unit))};
  if (at + 12 > text.size() || text[at + 6] != '\\' || text[at + 7] != 'u') return {};
  const long low = hex4(text, at + 8);
  if (low < 0xDC00 || low > 0xDFFF) return {};
  return {12,
          put_utf8(out, static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)))};
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

// Writes the value of a string literal's inside (between its quotes) at out, which has room for
// text.size() bytes and may be text.data() itself: the value is never longer than its literal,
// and each byte is written at or before where it was read. Its length; nullopt when JSON
// refuses it.
std::optional<std::size_t> unescape_to(std::string_view text, char* out) {
  std::size_t at = 0;
  std::size_t written = 0;
  while (at < text.size()) {
    const std::size_t plain = plain_run(text.substr(at));
    // In place, the text stays where it is until the first escape.
    if (out + written != text.data() + at) std::memmove(out + written, text.data() + at, plain);
    written += plain;
    at += plain;
    if (at == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[at]);
    std::size_t taken = 0;
    if (byte == '\\') {
      const Unescaped escape = unescape_one(text, at, out + written);
      taken = escape.taken;
      written += escape.written;
    } else if (byte < 0x20) {
      taken = 0;
    } else if (byte < 0x80) {
      out[written++] = static_cast<char>(byte);
      taken = 1;
    } else {
      taken = lint::first_utf8_char(text.substr(at, 4)).length;
      if (taken != 0) std::memmove(out + written, text.data() + at, taken);
      written += taken;
    }
    if (taken == 0) return std::nullopt;
    at += taken;
  }
  return written;
}

std::optional<std::string> unescape(std::string_view text) {
  std::string out(text.size(), '\0');
  const std::optional<std::size_t> length = unescape_to(text, out.data());
  if (!length) return std::nullopt;
  out.resize(*length);
  return out;
}

// A long string's value: its own bytes, or where it was unescaped in place.
struct LongValue {
  std::size_t ordinal;
  std::string own;
  std::string_view in_body;
  bool in_place = false;
};

// Builds the value from the parser's events, as nlohmann-json's own builder does, putting each
// long string in the place of the empty string left for it. A long string read in place that is
// the "text" of an object becomes a marker of the message's texts (to_texts); any other is
// copied out of the body.
class Builder final : public nlohmann::json_sax<Json> {
 public:
  Builder(Json& root, std::vector<LongValue>& long_strings, Message* to_texts,
          const std::shared_ptr<const void>& body)
      : root_(root), long_strings_(long_strings), to_texts_(to_texts), body_(body) {}

  bool null() override { return put(nullptr); }
  bool boolean(bool value) override { return put(value); }
  bool number_integer(number_integer_t value) override { return put(value); }
  bool number_unsigned(number_unsigned_t value) override { return put(value); }
  bool number_float(number_float_t value, const string_t&) override { return put(value); }
  bool string(string_t& value) override {
    LongValue* long_string = take_long();
    if (long_string == nullptr) return put(std::move(value));
    if (long_string->in_place && !open_.empty() && open_.back()->is_object() && key_ == "text") {
      Json marker = Json::binary({}, to_texts_->texts.size());
      to_texts_->texts.push_back(SharedText{body_, long_string->in_body});
      return put(std::move(marker));
    }
    return put(own_string(*long_string));
  }
  bool binary(binary_t& value) override { return put(Json::binary(std::move(value))); }
  bool start_object(std::size_t) override {
    open_.push_back(place(Json::object()));
    return true;
  }
  bool key(string_t& value) override {
    LongValue* long_string = take_long();
    key_ = long_string == nullptr ? std::move(value) : own_string(*long_string);
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
  // The long string met now, if it is one.
  LongValue* take_long() {
    const std::size_t ordinal = strings_++;
    if (next_ < long_strings_.size() && long_strings_[next_].ordinal == ordinal) {
      return &long_strings_[next_++];
    }
    return nullptr;
  }
  static std::string own_string(LongValue& value) {
    return value.in_place ? std::string(value.in_body) : std::move(value.own);
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
  std::vector<LongValue>& long_strings_;
  Message* to_texts_;
  const std::shared_ptr<const void>& body_;
  std::vector<Json*> open_;
  std::string key_;
  std::size_t strings_ = 0;  // strings met so far, keys included
  std::size_t next_ = 0;     // the next long string
};

// The long string literals of body. Outside strings a quote always opens one: the literals are
// found by their quotes alone.
std::vector<LongString> long_strings_of(std::string_view body) {
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
  return found;
}

// The body without its long strings (each left as ""), read by the parser with their values put
// back; a discarded value when the parser refuses it.
Json build(std::string_view body, const std::vector<LongString>& found,
           std::vector<LongValue>& values, Message* to_texts,
           const std::shared_ptr<const void>& owner) {
  std::string rest;
  std::size_t copied = 0;
  for (const LongString& literal : found) {
    rest.append(body.substr(copied, literal.open - copied)).append("\"\"");
    copied = literal.close + 1;
  }
  rest.append(body.substr(copied));
  Json value;
  Builder builder(value, values, to_texts, owner);
  if (!Json::sax_parse(rest, &builder)) return Json(Json::value_t::discarded);
  return value;
}

}  // namespace

Json parse_message(std::string_view body) {
  // An empty body may have no bytes at all to search (a null pointer).
  if (body.empty()) return Json(Json::value_t::discarded);
  const std::vector<LongString> found = long_strings_of(body);
  if (found.empty()) return Json::parse(body, nullptr, false);
  std::vector<LongValue> values;
  for (const LongString& literal : found) {
    std::optional<std::string> value =
        unescape(body.substr(literal.open + 1, literal.close - literal.open - 1));
    if (!value) return Json(Json::value_t::discarded);
    values.push_back({literal.ordinal, std::move(*value), {}, false});
  }
  return build(body, found, values, nullptr, nullptr);
}

Message read_message(ByteBuffer body) {
  Message message;
  if (body.size() == 0) {
    message.json = Json(Json::value_t::discarded);
    return message;
  }
  const std::vector<LongString> found = long_strings_of(body.view());
  if (found.empty()) {
    message.json = Json::parse(body.view(), nullptr, false);
    return message;
  }
  const auto owner = std::make_shared<ByteBuffer>(std::move(body));
  char* const bytes = owner->data();
  std::vector<LongValue> values;
  for (const LongString& literal : found) {
    char* const inside = bytes + literal.open + 1;
    const std::optional<std::size_t> length =
        unescape_to({inside, literal.close - literal.open - 1}, inside);
    if (!length) {
      message.json = Json(Json::value_t::discarded);
      return message;
    }
    values.push_back({literal.ordinal, {}, {inside, *length}, true});
  }
  // Unescaping in place changed only the insides of the long strings, which build skips.
  const std::shared_ptr<const void> kept = owner;
  message.json = build(owner->view(), found, values, &message, kept);
  if (message.json.is_discarded()) message.texts.clear();
  return message;
}

const SharedText* message_text(const Json& value, const Message& message) {
  if (!value.is_binary() || !value.get_binary().has_subtype()) return nullptr;
  const std::uint64_t index = value.get_binary().subtype();
  return index < message.texts.size() ? &message.texts[index] : nullptr;
}

}  // namespace unitcheck::server
