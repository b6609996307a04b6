#pragma once

#include <cstddef>
#include <string_view>

namespace unitcheck::lint {

// The edit distance of a and b with ASCII letters compared without case: inserting, deleting or
// replacing a byte, or swapping two neighbouring bytes, counts one. Anything above bound is
// returned as bound + 1, which keeps the cost at about length * bound.
int bounded_distance(std::string_view a, std::string_view b, int bound);

// The largest distance at which a name is offered for a value of this length: short values
// are one typo away from too many names.
int suggestion_bound(std::size_t length);

// The boolean word a value seems meant to be, "true" or "false" (upper case when the value's
// letters are all upper case); empty when it is close to neither.
std::string_view closest_boolean_word(std::string_view value);

// The name closest to a value among names offered one at a time: the first of the nearest, at
// most bound away. A name equal to the value byte for byte ends the search without a suggestion
// (there is nothing to correct).
class ClosestName {
 public:
  ClosestName(std::string_view value, int bound) : value_(value), distance_(bound + 1) {}

  void consider(std::string_view name);
  // Empty when no name is close enough, or the value itself was offered.
  std::string_view best() const { return exact_ ? std::string_view{} : best_; }

 private:
  std::string_view value_;
  std::string_view best_;
  int distance_;  // of best_, or the bound + 1 while there is none
  bool exact_ = false;
};

// The closest of names to value, within suggestion_bound of its length; empty when none.
template <class Names>
std::string_view closest_name(std::string_view value, const Names& names) {
  ClosestName closest(value, suggestion_bound(value.size()));
  for (const auto& name : names) closest.consider(name);
  return closest.best();
}

}  // namespace unitcheck::lint
