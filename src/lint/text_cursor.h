#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "tables/convert.h"

namespace unitcheck::lint {

// Text appended to a string through a cursor into room made ahead on it, so that each piece is
// a copy rather than a string append (a call, a test of the capacity, a copy of unknown size);
// the string has its true length again when the writer ends. Nothing else may write to the
// string meanwhile. The base of the writers of findings' texts: JSON documents and messages.
class TextCursor {
 public:
  TextCursor(const TextCursor&) = delete;
  TextCursor& operator=(const TextCursor&) = delete;

 protected:
  // expected: about how many bytes will be written; more only costs another step.
  explicit TextCursor(std::string& out, std::size_t expected = 0) : out_(out) {
    make_room(expected);
  }
  ~TextCursor() { out_.resize(used()); }

  void need(std::size_t bytes) {
    if (static_cast<std::size_t>(end_ - cursor_) < bytes) make_room(bytes);
  }
  void put(const char* bytes, std::size_t count) {
    need(count);
    std::memcpy(cursor_, bytes, count);
    cursor_ += count;
  }
  void put(std::string_view text) { put(text.data(), text.size()); }
  void put(char byte) {
    need(1);
    *cursor_++ = byte;
  }
  void put_number(std::int64_t value) {
    need(kLongestIntText);
    cursor_ += int_to_chars(cursor_, value);
  }

  char* cursor_ = nullptr;  // where the next piece goes, within the string
  char* end_ = nullptr;     // the end of the string: the room left is [cursor_, end_)

 private:
  std::size_t used() const { return static_cast<std::size_t>(cursor_ - out_.data()); }
  // Out of line, so that the pieces' copies stay small enough to be inlined.
  void make_room(std::size_t bytes);

  std::string& out_;
};

}  // namespace unitcheck::lint
