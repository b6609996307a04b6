#include "lint/suggestions.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

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

constexpr char fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool all_letters_upper(std::string_view value) {
  bool any = false;
  for (const char c : value) {
    if (c >= 'a' && c <= 'z') return false;
    any = any || (c >= 'A' && c <= 'Z');
  }
  return any;
}

// The bytes a text holds, folded, as bits of a 64-bit set.
std::uint64_t byte_bits(std::string_view text) {
  std::uint64_t bits = 0;
  for (const char c : text) bits |= std::uint64_t{1} << (static_cast<unsigned char>(fold(c)) & 63);
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
// every edit takes away at most one byte value and brings at most one, and a swap changes
// neither.
bool surely_farther(std::size_t length_a, std::uint64_t bits_a, std::size_t length_b,
                    std::uint64_t bits_b, int limit) {
  if (std::max(length_a, length_b) - std::min(length_a, length_b) > static_cast<std::size_t>(limit))
    return true;
  return more_bits_than(bits_a & ~bits_b, limit) || more_bits_than(bits_b & ~bits_a, limit);
}

// How many of a text's folded bytes fall in each of 16 classes (the byte's low four bits), four
// bits per class, each count capped at 15.
std::uint64_t class_counts(std::string_view text) {
  std::array<unsigned, 16> counts{};
  for (const char c : text) ++counts[static_cast<unsigned char>(fold(c)) & 15];
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

}  // namespace

int bounded_distance(std::string_view a, std::string_view b, int bound) {
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

int suggestion_bound(std::size_t length) {
  return length <= 4 ? 1 : 2;
}

std::string_view closest_boolean_word(std::string_view value) {
  const bool upper = all_letters_upper(value);
  const std::string_view words[] = {upper ? "TRUE" : "true", upper ? "FALSE" : "false"};
  ClosestName closest(value, suggestion_bound(value.size()));
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
  std::size_t longest = 0;
  for (const std::string_view name : names) longest = std::max(longest, name.size());
  // Counting sort by length keeps each length's names in their order.
  by_length.assign(longest + 2, 0);
  for (const std::string_view name : names) ++by_length[name.size() + 1];
  for (std::size_t n = 1; n < by_length.size(); ++n) by_length[n] += by_length[n - 1];
  entries.resize(names.size());
  std::vector<std::size_t> next(by_length.begin(), by_length.end() - 1);
  for (std::size_t i = 0; i < names.size(); ++i)
    entries[next[names[i].size()]++] =
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
  const int bound = suggestion_bound(value.size());
  const std::uint64_t value_bits = byte_bits(value);
  const std::uint64_t value_counts = class_counts(value);
  const std::size_t shortest = value.size() - std::min<std::size_t>(value.size(), bound);
  const std::size_t longest = std::min(value.size() + bound, by_length.size() - 2);
  // The best so far is the smallest (distance, order); a name is compared only when it could
  // come before it.
  int best_distance = bound + 1;
  std::uint32_t best_order = kNoName;
  const auto comparison_work = static_cast<std::int64_t>(value.size()) * (2 * bound + 1);
  std::int64_t work = 0;
  for (std::size_t length = shortest; length <= longest; ++length) {
    for (std::size_t e = by_length[length]; e < by_length[length + 1]; ++e) {
      if (++work > kSearchWork) return kNoName;
      // The bucket tells the name's length and the entry its bytes: most names are passed over
      // without reading them.
      const Entry& entry = entries[e];
      if (entry.bytes == value_bits && length == value.size() && names[entry.order] == value)
        return kNoName;  // nothing to correct
      const int could_take =
          std::min(bound, entry.order < best_order ? best_distance : best_distance - 1);
      if (could_take < 0 ||
          surely_farther(value.size(), value_bits, length, entry.bytes, could_take) ||
          counts_surely_farther(value_counts, entry.counts, could_take))
        continue;
      work += comparison_work;
      const int distance = bounded_distance(value, names[entry.order], could_take);
      if (distance <= could_take) {
        best_distance = distance;
        best_order = entry.order;
      }
    }
  }
  return best_distance <= bound ? best_order : kNoName;
}

}  // namespace unitcheck::lint
