#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace unitcheck {

// Finding the few bytes that give a line or a cell its structure, 16 bytes at a time.

// A bit for each of the 16 bytes at p (bit i for p[i]) that equals a, b or c.
inline std::uint32_t match_mask16(const char* p, char a, char b, char c) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(a)),
                                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b))),
                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
#else
  std::uint32_t mask = 0;
  for (int i = 0; i < 16; ++i)
    if (p[i] == a || p[i] == b || p[i] == c) mask |= 1u << i;
  return mask;
#endif
}

// The first byte in [from, end) that equals a, b or c, or end.
inline const char* find_any_of(const char* from, const char* end, char a, char b, char c) {
  while (end - from >= 16) {
    const std::uint32_t mask = match_mask16(from, a, b, c);
    if (mask != 0) return from + __builtin_ctz(mask);
    from += 16;
  }
  while (from != end && *from != a && *from != b && *from != c) ++from;
  return from;
}

// Calls f(i) for every index i of text, in ascending order, whose byte equals a, b or c.
template <class F>
void for_each_byte_of(std::string_view text, char a, char b, char c, F&& f) {
  const char* const p = text.data();
  const std::size_t n = text.size();
  std::size_t base = 0;
  for (; base + 16 <= n; base += 16) {
    for (std::uint32_t mask = match_mask16(p + base, a, b, c); mask != 0; mask &= mask - 1)
      f(base + static_cast<std::size_t>(__builtin_ctz(mask)));
  }
  for (; base < n; ++base)
    if (p[base] == a || p[base] == b || p[base] == c) f(base);
}

}  // namespace unitcheck
