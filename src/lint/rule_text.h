#pragma once

#include <cstddef>
#include <string_view>

namespace unitcheck::lint {

// A text put together when the program is compiled, from words and numbers that the schema
// holds, so that a rule's help says what the schema says. Kept in a constexpr variable, whose
// view() lasts the program's lifetime. Overflowing its room does not compile.
class RuleText {
 public:
  constexpr RuleText& operator<<(std::string_view words) {
    for (const char c : words) chars_[size_++] = c;
    return *this;
  }
  constexpr RuleText& operator<<(std::size_t number) {
    char digits[20]{};
    std::size_t count = 0;
    do {
      digits[count++] = static_cast<char>('0' + number % 10);
      number /= 10;
    } while (number != 0);
    while (count > 0) chars_[size_++] = digits[--count];
    return *this;
  }
  constexpr std::string_view view() const { return {chars_, size_}; }

 private:
  char chars_[512]{};
  std::size_t size_ = 0;
};

}  // namespace unitcheck::lint
