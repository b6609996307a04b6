#include "lint/suggestions.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "lint/utf8.h"
#include "tables/text_map.h"

namespace unitcheck::lint {

namespace {

constexpr std::size_t kStackRow = 64;

// The answers an index remembers, and the longest value it remembers one for: enough for the
// wrong values a table repeats, some tens of kilobytes at most. An index of fewer names than
// kWorthRemembering searches faster than it would look an answer up.
constexpr std::size_t kRememberedAnswers = 512;
constexpr std::size_t kLongestRemembered = 64;
constexpr std::size_t kWorthRemembering = 64;
// The work one search may do, counted as one per name passed over and the table cells of each
// comparison: some milliseconds. A list of many names alike (100,000 categories that differ in
// their digits only) passes none over on sight; past this, the search gives no suggestion
// rather than cost every faulty value a pass over them all.
constexpr std::int64_t kSearchWork = std::int64_t{1} << 13;

constexpr char32_t fold(char32_t c) {
  return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
}

// A byte of no well-formed UTF-8 sequence stands for itself as one character, apart from every
// decoded one: U+DC80 to U+DCFF, surrogates, which a well-formed sequence never holds.
constexpr char32_t kStrayByte = 0xDC00;

// Calls take(c) for each character of text, in order.
template <class Take>
void for_each_character(std::string_view text, Take take) {
  while (!text.empty()) {
    const Utf8Char c = first_utf8_char(text);
    if (c.length == 0) {
      take(kStrayByte + static_cast<unsigned char>(text.front()));
      text.remove_prefix(1);
    } else {
      take(c.code_point);
      text.remove_prefix(c.length);
    }
  }
}

// A text's characters, decoded once: names are short, and theirs live on the stack.
class Characters {
 public:
  explicit Characters(std::string_view text) {
    for_each_character(text, [this](char32_t c) {
      if (size_ < kStackRow) {
        stack_[size_] = c;
      } else {
        if (heap_.empty()) heap_.assign(stack_.begin(), stack_.end());
        heap_.push_back(c);
      }
      ++size_;
    });
  }
  std::span<const char32_t> view() const {
    return {size_ <= kStackRow ? stack_.data() : heap_.data(), size_};
  }

 private:
  std::array<char32_t, kStackRow> stack_;
  std::vector<char32_t> heap_;
  std::size_t size_ = 0;
};

bool all_letters_upper(std::string_view value) {
  bool any = false;
  for (const char c : value) {
    if (c >= 'a' && c <= 'z') return false;
    any = any || (c >= 'A' && c <= 'Z');
  }
  return any;
}

// The characters a text holds, folded, as bits of a 64-bit set (a character's low six bits).
std::uint64_t byte_bits(std::string_view text) {
  std::uint64_t bits = 0;
  for_each_character(text, [&](char32_t c) { bits |= std::uint64_t{1} << (fold(c) & 63); });
  return bits;
}

// Whether bits has more than count bits set, clearing the lowest at most count + 1 times: counts
// are at most the suggestion bound, and a plain x86-64 build has no population count
// instruction.
bool more_bits_than(std::uint64_t bits, int count) {
  for (int i = 0; i <= count; ++i) {
    if (bits == 0) return false;
    bits &= bits - 1;
  }
  return true;
}

// Whether a and b are surely more than limit edits apart, from a lower bound of their distance:
// every edit takes away at most one character value and brings at most one, and a swap changes
// neither.
bool surely_farther(std::size_t length_a, std::uint64_t bits_a, std::size_t length_b,
                    std::uint64_t bits_b, int limit) {
  if (std::max(length_a, length_b) - std::min(length_a, length_b) > static_cast<std::size_t>(limit))
    return true;
  return more_bits_than(bits_a & ~bits_b, limit) || more_bits_than(bits_b & ~bits_a, limit);
}

// How many of a text's folded characters fall in each of 16 classes (the character's low four
// bits), four bits per class, each count capped at 15.
std::uint64_t class_counts(std::string_view text) {
  std::array<unsigned, 16> counts{};
  for_each_character(text, [&](char32_t c) { ++counts[fold(c) & 15]; });
  std::uint64_t packed = 0;
  for (unsigned k = 0; k < 16; ++k) packed |= std::uint64_t{std::min(counts[k], 15u)} << (4 * k);
  return packed;
}

// Whether two texts' class counts differ by more than twice limit in all: an insertion or a
// deletion changes the sum of the differences by one, a replacement by two at most, a swap not
// at all (capping a count can only make a difference smaller). Names alike in their letters,
// such as part numbers, are told apart by their digits here without a table.
bool counts_surely_farther(std::uint64_t a, std::uint64_t b, int limit) {
  int difference = 0;
  for (unsigned k = 0; k < 16; ++k) {
    const int x = static_cast<int>((a >> (4 * k)) & 15);
    const int y = static_cast<int>((b >> (4 * k)) & 15);
    difference += x > y ? x - y : y - x;
  }
  return difference > 2 * limit;
}

int bounded_distance(std::span<const char32_t> a, std::span<const char32_t> b, int bound) {
  const int too_far = bound + 1;
  const auto la = static_cast<std::ptrdiff_t>(a.size());
  const auto lb = static_cast<std::ptrdiff_t>(b.size());
  if (std::max(la, lb) - std::min(la, lb) > bound) return too_far;
  // Three rows of the distance table (the swap looks two rows back); cells outside the band
  // |i - j| <= bound stay at too_far, which no path through them can beat. Names are short:
  // their rows live on the stack.
  const auto width = static_cast<std::size_t>(lb + 1);
  std::array<int, 3 * kStackRow> stack_rows;
  std::vector<int> heap_rows;
  int* rows = stack_rows.data();
  if (width > kStackRow) {
    heap_rows.resize(3 * width);
    rows = heap_rows.data();
  }
  std::span<int> before(rows, width), previous(rows + width, width),
      current(rows + 2 * width, width);
  std::fill(rows, rows + 3 * width, too_far);
  for (std::ptrdiff_t j = 0; j <= std::min<std::ptrdiff_t>(lb, bound); ++j)
    previous[static_cast<std::size_t>(j)] = static_cast<int>(j);
  for (std::ptrdiff_t i = 1; i <= la; ++i) {
    // Only the band is written. Right of it a row holds too_far from the start (no row's band
    // reaches further right than a later one's); the cell left of it may hold a value of the
    // row three back, whose place this one takes.
    current[0] = i <= bound ? static_cast<int>(i) : too_far;
    int row_best = current[0];
    const std::ptrdiff_t from = std::max<std::ptrdiff_t>(1, i - bound);
    current[static_cast<std::size_t>(from - 1)] = from - 1 == 0 ? current[0] : too_far;
    const std::ptrdiff_t to = std::min<std::ptrdiff_t>(lb, i + bound);
    for (std::ptrdiff_t j = from; j <= to; ++j) {
      const auto u = static_cast<std::size_t>(j);
      const bool same = fold(a[static_cast<std::size_t>(i - 1)]) == fold(b[u - 1]);
      int best = std::min({previous[u] + 1, current[u - 1] + 1, previous[u - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && fold(a[static_cast<std::size_t>(i - 1)]) == fold(b[u - 2]) &&
          fold(a[static_cast<std::size_t>(i - 2)]) == fold(b[u - 1]))
        best = std::min(best, before[u - 2] + 1);
      current[u] = std::min(best, too_far);
      row_best = std::min(row_best, current[u]);
    }
    if (row_best > bound) return too_far;
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return std::min(previous[static_cast<std::size_t>(lb)], too_far);
}

}  // namespace

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for_each_character(text, [&](char32_t) { ++count; });
  return count;
}

int bounded_distance(std::string_view a, std::string_view b, int bound) {
  // A character takes one to four bytes: lengths that far apart are surely too far, without
  // decoding a long value.
  const auto too_long = [bound](std::string_view x, std::string_view y) {
    return x.size() / 4 > y.size() + static_cast<std::size_t>(bound);
  };
  if (too_long(a, b) || too_long(b, a)) return bound + 1;
  const Characters ca(a);
  const Characters cb(b);
  return bounded_distance(ca.view(), cb.view(), bound);
}

int suggestion_bound(std::size_t length) {
  return length <= 4 ? 1 : 2;
}

std::string_view closest_boolean_word(std::string_view value) {
  const bool upper = all_letters_upper(value);
  const std::string_view words[] = {upper ? "TRUE" : "true", upper ? "FALSE" : "false"};
  ClosestName closest(value, suggestion_bound(character_count(value)));
  for (const std::string_view word : words) closest.consider(word);
  return closest.best();
}

void ClosestName::consider(std::string_view name) {
  if (exact_) return;
  if (name == value_) {
    exact_ = true;
    return;
  }
  const int distance = bounded_distance(value_, name, distance_ - 1);
  if (distance < distance_) {
    distance_ = distance;
    best_ = name;
  }
}

// The index proper: entries by name length, each run in the names' order, and the answers it
// remembers.
struct NameIndex::Index {
  explicit Index(std::span<const std::string_view> names);
  std::string_view closest(std::string_view value) const;
  std::uint32_t search(std::string_view value) const;
  std::string_view name_at(std::uint32_t order) const {
    return order == kNoName ? std::string_view{} : names[order];
  }

  static constexpr std::uint32_t kNoName = UINT32_MAX;
  struct Entry {
    std::uint32_t order;   // the name's place among the names
    std::uint64_t bytes;   // a bit per folded byte value (modulo 64) that the name holds
    std::uint64_t counts;  // class_counts of the name
  };
  // Answers by value: the answer's place among the names, or kNoName.
  struct Answers {
    std::mutex mutex;
    TextMap<std::uint32_t> by_value;
  };

  std::vector<Entry> entries;
  // by_length[n] begins the run of length n (the last entry ends the last run).
  std::vector<std::size_t> by_length;
  std::span<const std::string_view> names;
  std::unique_ptr<Answers> answers;
};

NameIndex::NameIndex() = default;
NameIndex::NameIndex(NameIndex&&) noexcept = default;
NameIndex& NameIndex::operator=(NameIndex&&) noexcept = default;
NameIndex::~NameIndex() = default;

NameIndex::NameIndex(std::span<const std::string_view> names)
    : index_(std::make_unique<const Index>(names)) {}

NameIndex::NameIndex(Gather gather) : gathering_(std::make_unique<Gathering>()) {
  gathering_->gather = std::move(gather);
}

const NameIndex::Index* NameIndex::index() const {
  if (gathering_ != nullptr)
    std::call_once(gathering_->done,
                   [this] { index_ = std::make_unique<const Index>(gathering_->gather()); });
  return index_.get();
}

std::string_view NameIndex::closest(std::string_view value) const {
  const Index* index = this->index();
  return index != nullptr ? index->closest(value) : std::string_view{};
}

NameIndex::Index::Index(std::span<const std::string_view> names)
    : names(names),
      answers(names.size() >= kWorthRemembering ? std::make_unique<Answers>() : nullptr) {
  // Lengths in characters, as distances count them.
  std::vector<std::size_t> lengths(names.size());
  std::size_t longest = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    lengths[i] = character_count(names[i]);
    longest = std::max(longest, lengths[i]);
  }
  // Counting sort by length keeps each length's names in their order.
  by_length.assign(longest + 2, 0);
  for (const std::size_t length : lengths) ++by_length[length + 1];
  for (std::size_t n = 1; n < by_length.size(); ++n) by_length[n] += by_length[n - 1];
  entries.resize(names.size());
  std::vector<std::size_t> next(by_length.begin(), by_length.end() - 1);
  for (std::size_t i = 0; i < names.size(); ++i)
    entries[next[lengths[i]]++] =
        Entry{static_cast<std::uint32_t>(i), byte_bits(names[i]), class_counts(names[i])};
}

std::string_view NameIndex::Index::closest(std::string_view value) const {
  if (names.empty()) return {};
  const bool rememberable = answers != nullptr && value.size() <= kLongestRemembered;
  if (rememberable) {
    const std::lock_guard lock(answers->mutex);
    if (const std::uint32_t* order = answers->by_value.find(value)) return name_at(*order);
  }
  const std::uint32_t order = search(value);
  if (rememberable) {
    const std::lock_guard lock(answers->mutex);
    if (answers->by_value.size() < kRememberedAnswers) answers->by_value.insert(value, order);
  }
  return name_at(order);
}

std::uint32_t NameIndex::Index::search(std::string_view value) const {
  // A value of more characters than the longest name allows is near none: a cell of megabytes
  // is not decoded to find that out.
  if (value.size() / 4 > by_length.size() + 2) return kNoName;
  const Characters characters(value);
  const std::span<const char32_t> chars = characters.view();
  const int bound = suggestion_bound(chars.size());
  const std::uint64_t value_bits = byte_bits(value);
  const std::uint64_t value_counts = class_counts(value);
  const std::size_t shortest = chars.size() - std::min<std::size_t>(chars.size(), bound);
  // A value longer than every name by more than the bound is near none.
  if (shortest + 2 > by_length.size()) return kNoName;
  const std::size_t longest = std::min(chars.size() + bound, by_length.size() - 2);
  // The best so far is the smallest (distance, order); a name is compared only when it could
  // come before it.
  int best_distance = bound + 1;
  std::uint32_t best_order = kNoName;
  const auto comparison_work = static_cast<std::int64_t>(chars.size()) * (2 * bound + 1);
  std::int64_t work = 0;
  for (std::size_t length = shortest; length <= longest; ++length) {
    for (std::size_t e = by_length[length]; e < by_length[length + 1]; ++e) {
      if (++work > kSearchWork) return kNoName;
      // The bucket tells the name's length and the entry its bytes: most names are passed over
      // without reading them.
      const Entry& entry = entries[e];
      if (entry.bytes == value_bits && length == chars.size() && names[entry.order] == value)
        return kNoName;  // nothing to correct
      const int could_take =
          std::min(bound, entry.order < best_order ? best_distance : best_distance - 1);
      if (could_take < 0 ||
          surely_farther(chars.size(), value_bits, length, entry.bytes, could_take) ||
          counts_surely_farther(value_counts, entry.counts, could_take))
        continue;
      work += comparison_work;
      const Characters name(names[entry.order]);
      const int distance = bounded_distance(chars, name.view(), could_take);
      if (distance <= could_take) {
        best_distance = distance;
        best_order = entry.order;
      }
    }
  }
  return best_distance <= bound ? best_order : kNoName;
}

}  // namespace unitcheck::lint
