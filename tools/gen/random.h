#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

namespace unitcheck::gen {

// A probability turned into a threshold once, so that a draw is one comparison.
class Odds {
 public:
  // share is clamped to [0, 1].
  explicit Odds(double share)
      : threshold_(share <= 0   ? 0
                   : share >= 1 ? UINT64_MAX
                                : static_cast<std::uint64_t>(std::ldexp(share, 64))) {}
  std::uint64_t threshold() const { return threshold_; }

 private:
  std::uint64_t threshold_;
};

// A fast deterministic random stream (xoshiro256**). The same starting value gives the same
// stream on every platform and compiler, which is what makes the generated data reproducible.
class Random {
 public:
  explicit Random(std::uint64_t state) {
    for (auto& word : words_) word = split_mix(state);
  }

  std::uint64_t next() {
    const std::uint64_t result = rotate(words_[1] * 5, 7) * 9;
    const std::uint64_t shifted = words_[1] << 17;
    words_[2] ^= words_[0];
    words_[3] ^= words_[1];
    words_[1] ^= words_[2];
    words_[0] ^= words_[3];
    words_[2] ^= shifted;
    words_[3] = rotate(words_[3], 45);
    return result;
  }

  // A value in [0, bound), for 0 < bound <= 2^32.
  std::uint32_t below(std::uint64_t bound) {
    return static_cast<std::uint32_t>(((next() >> 32) * bound) >> 32);
  }
  // A value in [low, high], low <= high.
  std::int64_t between(std::int64_t low, std::int64_t high) {
    const std::uint64_t span = static_cast<std::uint64_t>(high - low) + 1;
    const std::uint64_t offset = span <= (std::uint64_t{1} << 32) ? below(span) : next() % span;
    return low + static_cast<std::int64_t>(offset);
  }
  bool percent(int p) { return below(100) < static_cast<std::uint32_t>(p); }
  bool chance(Odds odds) { return next() < odds.threshold(); }

  template <class T>
  const T& pick(std::span<const T> items) {
    return items[below(items.size())];
  }
  template <class T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(N)];
  }

 private:
  static std::uint64_t rotate(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  static std::uint64_t split_mix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
  }

  std::uint64_t words_[4];
};

}  // namespace unitcheck::gen
