#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lint/text_cursor.h"

namespace unitcheck::lint {

// JSON text written piece by piece onto a string, for the one document per finding that the
// JSON and SARIF reports write: the structure comes from fixed keys, and whatever a string needs
// encoded (escapes; invalid UTF-8 replaced by U+FFFD) is encoded as the JSON library encodes it.
// Building a tree of values for each finding instead would cost tens of allocations per finding.
class JsonText : private TextCursor {
 public:
  explicit JsonText(std::string& out, std::size_t expected = 0) : TextCursor(out, expected) {}

  // JSON text as it stands: punctuation and keys.
  JsonText& raw(std::string_view text) {
    put(text);
    return *this;
  }
  JsonText& string(std::string_view text);
  // A text of the program's own that is plain printable ASCII, without a quote or a backslash
  // (rule ids, severity names): quoted as it stands.
  JsonText& plain_string(std::string_view text);
  JsonText& string_or_null(std::string_view text);  // null when empty
  JsonText& number(std::int64_t value);
};

}  // namespace unitcheck::lint
