#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace unitcheck {

// Finding the few bytes that give a line or a cell its structure, 16 or 64 bytes at a time.

// Every function here has a plain form, byte by byte, compiled on every machine so that the
// tests hold the vector forms to it, and used where the processor has no SSE2.

// A bit for each of the 16 bytes at p (bit i for p[i]) that equals a, b or c.
inline std::uint32_t match_mask16_plain(const char* p, char a, char b, char c) {
  std::uint32_t mask = 0;
  for (int i = 0; i < 16; ++i)
    if (p[i] == a || p[i] == b || p[i] == c) mask |= 1u << i;
  return mask;
}

inline std::uint32_t match_mask16(const char* p, char a, char b, char c) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(a)),
                                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b))),
                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
#else
  return match_mask16_plain(p, a, b, c);
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

// Masks over one block of 64 bytes, bit i for byte i of the block: the bytes that give a cell
// its structure and the bytes that plain numbers are made of.
struct ByteClasses64 {
  std::uint64_t structural;  // a, b or c
  std::uint64_t opens;       // a
  std::uint64_t closes;      // c
  std::uint64_t digits;      // '0' to '9'
  std::uint64_t points;      // '.'
  std::uint64_t signs;       // '+' or '-'
  std::uint64_t minus;       // '-'
};

#if defined(__SSE2__)
// The ByteClasses64 bits of the 16 bytes at p, placed at bit shift and up.
inline void classify16(const char* p, char a, char b, char c, int shift, ByteClasses64& out) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  auto bits = [shift](__m128i hits) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(hits))) << shift;
  };
  const __m128i minus = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('-'));
  const __m128i opens = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(a));
  const __m128i closes = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c));
  out.structural |=
      bits(_mm_or_si128(_mm_or_si128(opens, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b))), closes));
  out.opens |= bits(opens);
  out.closes |= bits(closes);
  // Signed compares suffice: bytes of 0x80 and up are negative, below '0'.
  out.digits |= bits(_mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1)),
                                   _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1))));
  out.points |= bits(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
  out.signs |= bits(_mm_or_si128(minus, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('+'))));
  out.minus |= bits(minus);
}
#endif

// The classes of the 64 bytes at p, with a, b and c as the structural bytes.
inline ByteClasses64 classify_block64_plain(const char* p, char a, char b, char c) {
  ByteClasses64 out{};
  for (int i = 0; i < 64; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    const char x = p[i];
    if (x == a || x == b || x == c) out.structural |= bit;
    if (x == a) out.opens |= bit;
    if (x == c) out.closes |= bit;
    if (x >= '0' && x <= '9') out.digits |= bit;
    if (x == '.') out.points |= bit;
    if (x == '+' || x == '-') out.signs |= bit;
    if (x == '-') out.minus |= bit;
  }
  return out;
}

inline ByteClasses64 classify_block64(const char* p, char a, char b, char c) {
#if defined(__SSE2__)
  ByteClasses64 out{};
  for (int i = 0; i < 64; i += 16) classify16(p + i, a, b, c, i, out);
  return out;
#else
  return classify_block64_plain(p, a, b, c);
#endif
}

// The classes of the count (below 64) bytes at p; bits from count up are clear.
inline ByteClasses64 classify_tail64(const char* p, std::size_t count, char a, char b, char c) {
  char block[64] = {};
  std::memcpy(block, p, count);
  ByteClasses64 out = classify_block64(block, a, b, c);
  const std::uint64_t valid = (std::uint64_t{1} << count) - 1;
  out.structural &= valid;
  out.opens &= valid;
  out.closes &= valid;
  out.digits &= valid;
  out.points &= valid;
  out.signs &= valid;
  out.minus &= valid;
  return out;
}

}  // namespace unitcheck
