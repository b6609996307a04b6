#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>

namespace unitcheck::lint {

// The edit distance of a and b in characters, with ASCII letters compared without case:
// inserting, deleting or replacing a character, or swapping two neighbouring ones, counts one
// ("Métal" is one edit from "Metal", as a reader counts, not two). A well-formed UTF-8
// sequence is one character, any other byte one of its own. Anything above bound is returned
// as bound + 1, which keeps the cost at about length * bound.
int bounded_distance(std::string_view a, std::string_view b, int bound);

// The characters of text, counted as bounded_distance counts them.
std::size_t character_count(std::string_view text);

// The largest distance at which a name is offered for a value of this length in characters:
// short values are one typo away from too many names.
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
  ClosestName closest(value, suggestion_bound(character_count(value)));
  for (const auto& name : names) closest.consider(name);
  return closest.best();
}

// Names to suggest from, indexed so that a value is compared only with the names that can be
// near it: those of a length (in characters) within the bound, whose letters differ from the
// value's in no more distinct characters than the bound allows. It answers as closest_name over the names in their order
// would. The names must outlive the index.
//
// A search does a bounded amount of work (some thousands of names passed over or compared):
// past it there is no suggestion, whatever the list, rather than a slow one.
//
// It also remembers its answers, up to a bound: faulty tables repeat a wrong value (one unknown
// part on a thousand lines), and one search among ten thousand part names costs as much as
// checking a few rows. Safe to ask from several threads at once.
class NameIndex {
 public:
  using Gather = std::function<std::span<const std::string_view>()>;

  NameIndex();
  explicit NameIndex(std::span<const std::string_view> names);
  // An index made when it is first asked, of the names that gather gives then, on the asking
  // thread (others that ask meanwhile wait for it): a run pays only for the lists that its
  // findings need.
  explicit NameIndex(Gather gather);
  NameIndex(NameIndex&&) noexcept;
  NameIndex& operator=(NameIndex&&) noexcept;
  ~NameIndex();

  // The first of the nearest names within suggestion_bound of value's length; empty when none,
  // or when value is one of the names.
  std::string_view closest(std::string_view value) const;

 private:
  struct Index;
  // The index, made by the constructor or, for a gathered one, on the first call.
  const Index* index() const;

  struct Gathering {
    std::once_flag done;
    Gather gather;
  };
  std::unique_ptr<Gathering> gathering_;        // null when the index was made with the names
  mutable std::unique_ptr<const Index> index_;  // set once, before any search reads it
};

}  // namespace unitcheck::lint
