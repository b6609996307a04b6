#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace unitcheck::lint {

// JSON text written piece by piece onto a string, for the one document per finding that the
// JSON and SARIF reports write: the structure comes from fixed keys, and whatever a string needs
// encoded (escapes; invalid UTF-8 replaced by U+FFFD) is encoded as the JSON library encodes it.
// Building a tree of values for each finding instead would cost tens of allocations per finding.
//
// The pieces go through a cursor into room made ahead on the string, so that each is a copy
// rather than a string append; the string has its true length again when the JsonText ends.
// Nothing else may write to the string meanwhile.
class JsonText {
 public:
  // expected: about how many bytes will be written; more only costs another step.
  explicit JsonText(std::string& out, std::size_t expected = 0) : out_(out) { make_room(expected); }
  JsonText(const JsonText&) = delete;
  JsonText& operator=(const JsonText&) = delete;
  ~JsonText() { out_.resize(used()); }

  // JSON text as it stands: punctuation and keys.
  JsonText& raw(std::string_view text) {
    put(text.data(), text.size());
    return *this;
  }
  JsonText& string(std::string_view text);
  // A text of the program's own that is plain printable ASCII, without a quote or a backslash
  // (rule ids, severity names): quoted as it stands.
  JsonText& plain_string(std::string_view text);
  JsonText& string_or_null(std::string_view text);  // null when empty
  JsonText& number(std::int64_t value);

 private:
  std::size_t used() const { return static_cast<std::size_t>(cursor_ - out_.data()); }
  void need(std::size_t bytes) {
    if (static_cast<std::size_t>(end_ - cursor_) < bytes) make_room(bytes);
  }
  void put(const char* bytes, std::size_t count) {
    need(count);
    std::memcpy(cursor_, bytes, count);
    cursor_ += count;
  }
  void put(char byte) {
    need(1);
    *cursor_++ = byte;
  }
  void make_room(std::size_t bytes);

  std::string& out_;
  char* cursor_ = nullptr;  // where the next piece goes, within out_
  char* end_ = nullptr;     // the end of out_: the room left is [cursor_, end_)
};

}  // namespace unitcheck::lint
