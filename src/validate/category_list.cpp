#include "validate/category_list.h"

#include <algorithm>

#include "validate/name_set.h"

namespace unitcheck {

std::string fold_latin1(std::string_view text) {
  std::string folded;
  fold_latin1(text, folded);
  return folded;
}

void fold_latin1(std::string_view text, std::string& folded) {
  folded.assign(text);
  for (char& c : folded) c = static_cast<char>(fold_latin1(static_cast<unsigned char>(c)));
}

namespace {

// Orders a category against text + "/" by their bytes, without building that text: negative
// when the category sorts below it, 0 when it begins with it, positive when it sorts above.
int compare_to_slashed(std::string_view category, std::string_view text) {
  const int head = category.substr(0, text.size()).compare(text);
  if (head != 0) return head;
  if (category.size() == text.size()) return -1;
  return static_cast<unsigned char>(category[text.size()]) - static_cast<unsigned char>('/');
}

}  // namespace

bool CategoryList::contains(std::string_view category) const {
  // Categories are short: folded on the stack rather than into an allocation of each lookup.
  char folded[64];
  if (category.size() > sizeof folded) return contains_folded(fold_latin1(category));
  for (std::size_t i = 0; i < category.size(); ++i)
    folded[i] = static_cast<char>(fold_latin1(static_cast<unsigned char>(category[i])));
  return contains_folded(std::string_view(folded, category.size()));
}

void CategoryList::index() {
  ordered_.clear();
  ordered_.reserve(categories_.size());
  categories_.for_each_key([this](std::string_view category) { ordered_.push_back(category); });
  std::sort(ordered_.begin(), ordered_.end());
}

// The categories that begin with the text and a slash follow one another in byte order, from
// the first one that does not sort below text + "/".
bool CategoryList::is_prefix(std::string_view folded) const {
  // A slash in the first position never makes a prefix, so no prefix is empty.
  if (folded.empty()) return false;
  const auto first = std::lower_bound(ordered_.begin(), ordered_.end(), folded,
                                      [](std::string_view category, std::string_view text) {
                                        return compare_to_slashed(category, text) < 0;
                                      });
  return first != ordered_.end() && compare_to_slashed(*first, folded) == 0;
}

std::size_t CategoryList::size() const {
  std::size_t count = categories_.size();
  for (std::size_t k = 0; k < ordered_.size(); ++k) {
    const std::string_view category = ordered_[k];
    for (std::size_t i = 1; i < category.size(); ++i) {
      if (category[i] != '/') continue;
      // A prefix is counted at the first category in order that begins with it and a slash,
      // unless it is a category itself.
      const std::string_view slashed = category.substr(0, i + 1);
      if (categories_.contains(slashed.substr(0, i))) continue;
      if (k > 0 && ordered_[k - 1].starts_with(slashed)) continue;
      ++count;
    }
  }
  return count;
}

void build_category_list(const NameSet& categories, CategoryList& category_list) {
  std::string category;
  categories.for_each([&](std::string_view text) {
    fold_latin1(text, category);
    category_list.add_folded(category);
  });
  category_list.index();
}

}  // namespace unitcheck
