#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace unitcheck::lint {

// JSON text written piece by piece onto a string, for the one document per finding that the
// JSON and SARIF reports write: the structure comes from fixed keys, and whatever a string needs
// encoded (escapes; invalid UTF-8 replaced by U+FFFD) is encoded by the JSON library. Building a
// tree of values for each finding instead would cost tens of allocations per finding.
class JsonText {
 public:
  explicit JsonText(std::string& out) : out_(out) {}

  // JSON text as it stands: punctuation and keys.
  JsonText& raw(std::string_view text) {
    out_.append(text);
    return *this;
  }
  JsonText& string(std::string_view text);
  // A text of the program's own that is plain printable ASCII, without a quote or a backslash
  // (rule ids, severity names): quoted as it stands.
  JsonText& plain_string(std::string_view text);
  JsonText& string_or_null(std::string_view text);  // null when empty
  JsonText& number(std::int64_t value);

 private:
  std::string& out_;
};

}  // namespace unitcheck::lint
