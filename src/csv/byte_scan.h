#pragma once

// Tested by tests/csv/byte_scan_test.cpp and tests/validate/number_shapes_test.cpp (every vector
// form against its plain form), and by the end-to-end cases, which CI runs in each block form.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define UNITCHECK_AVX2_FORMS 1
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

// The lowest n set bits of mask, or all of them when it has no more than n: taken from whichever
// end is nearer, a bit at a time.
inline std::uint64_t lowest_set_bits(std::uint64_t mask, unsigned n) {
  const auto count = static_cast<unsigned>(std::popcount(mask));
  if (count <= n) return mask;
  if (n <= count - n) {
    std::uint64_t low = 0;
    for (; n > 0; --n, mask &= mask - 1) low |= mask & (~mask + 1);
    return low;
  }
  for (unsigned extra = count - n; extra > 0; --extra)
    mask &= ~(std::uint64_t{1} << (63 - std::countl_zero(mask)));
  return mask;
}

// The ends (bits of ends) of a run of values that pass together: those before the first end
// that passing lacks, and no more than run of them.
inline std::uint64_t passing_together(std::uint64_t ends, std::uint64_t passing, unsigned run) {
  const std::uint64_t stops = ends & ~passing;
  return lowest_set_bits(stops == 0 ? ends : ends & ((stops & (~stops + 1)) - 1), run);
}

// For each of count items, how many items from it on is_in_run accepts one after another (at
// most 255), with a last entry of 0 after the items: the runs whose values may pass together.
template <class IsInRun>
std::vector<unsigned char> run_lengths(std::size_t count, IsInRun is_in_run) {
  std::vector<unsigned char> runs(count + 1, 0);
  for (std::size_t i = count; i-- > 0;)
    if (is_in_run(i)) runs[i] = static_cast<unsigned char>(std::min(runs[i + 1] + 1, 255));
  return runs;
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

#if defined(UNITCHECK_AVX2_FORMS)
// The AVX2 form of classify_block64, for processors that have it: callers check has_avx2()
// first, and build the code that calls it for AVX2 too, so that it is inlined.
__attribute__((target("avx2"))) inline std::uint64_t bits_of32(__m256i hits, int shift) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(hits)))
         << shift;
}

// The bytes that classify_block64_avx2 compares with, each in all 32 lanes.
struct ClassBytesAvx2 {
  __m256i a, b, c, minus, plus, point, nine, below_zero;
};

// The compared bytes for a, b and c, made once for many blocks. The compiler is not shown their
// values: it would build each again in every block (three instructions a byte) rather than
// keep it or read it from memory.
__attribute__((target("avx2"))) inline ClassBytesAvx2 class_bytes_avx2(char a, char b, char c) {
  ClassBytesAvx2 k{_mm256_set1_epi8(a),   _mm256_set1_epi8(b),      _mm256_set1_epi8(c),
                   _mm256_set1_epi8('-'), _mm256_set1_epi8('+'),    _mm256_set1_epi8('.'),
                   _mm256_set1_epi8('9'), _mm256_set1_epi8('0' - 1)};
  asm("" : "+m"(k));
  return k;
}

__attribute__((target("avx2"))) inline ByteClasses64 classify_block64_avx2_with(
    const char* p, const ClassBytesAvx2& k) {
  ByteClasses64 out{};
  for (int shift = 0; shift < 64; shift += 32) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + shift));
    const __m256i minus = _mm256_cmpeq_epi8(bytes, k.minus);
    const __m256i opens = _mm256_cmpeq_epi8(bytes, k.a);
    const __m256i closes = _mm256_cmpeq_epi8(bytes, k.c);
    const __m256i middles = _mm256_cmpeq_epi8(bytes, k.b);
    out.structural |= bits_of32(_mm256_or_si256(_mm256_or_si256(opens, middles), closes), shift);
    out.opens |= bits_of32(opens, shift);
    out.closes |= bits_of32(closes, shift);
    // Signed compares suffice: bytes of 0x80 and up are negative, below '0'.
    out.digits |= bits_of32(_mm256_andnot_si256(_mm256_cmpgt_epi8(bytes, k.nine),
                                                _mm256_cmpgt_epi8(bytes, k.below_zero)),
                            shift);
    out.points |= bits_of32(_mm256_cmpeq_epi8(bytes, k.point), shift);
    out.signs |= bits_of32(_mm256_or_si256(minus, _mm256_cmpeq_epi8(bytes, k.plus)), shift);
    out.minus |= bits_of32(minus, shift);
  }
  return out;
}

__attribute__((target("avx2"))) inline ByteClasses64 classify_block64_avx2(const char* p, char a,
                                                                           char b, char c) {
  return classify_block64_avx2_with(p, class_bytes_avx2(a, b, c));
}

// find_any_of(from, end, ',', '"', ',') 32 bytes at a time; a type rather than a function, so
// that passing it as a parameter calls it directly and lets it be inlined.
struct FindCommaOrQuoteAvx2 {
  __attribute__((target("avx2"))) const char* operator()(const char* from, const char* end) const {
    while (end - from >= 32) {
      const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
      const auto mask = static_cast<std::uint32_t>(
          _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(',')),
                                               _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('"')))));
      if (mask != 0) return from + __builtin_ctz(mask);
      from += 32;
    }
    return find_any_of(from, end, ',', '"', ',');
  }
};

// Whether the processor running the program has AVX2.
inline bool has_avx2() {
  return __builtin_cpu_supports("avx2");
}
#endif

// The forms of the 64-byte classification; they find the same bits. Sse2 is the plain form
// where the build has no SSE2.
enum class BlockForm { Plain, Sse2, Avx2 };

// The widest form the processor running the program has.
inline BlockForm widest_block_form() {
#if defined(UNITCHECK_AVX2_FORMS)
  if (has_avx2()) return BlockForm::Avx2;
#endif
  return BlockForm::Sse2;
}

// The form a run uses: the one named by requested ("plain", "sse2" or "avx2", from the
// environment variable UNITCHECK_BLOCK_FORM, so that the end-to-end cases and the fuzz targets
// run every form), or the widest. A form the processor lacks, or an unknown name, gives the
// widest: the variable is for tests and never makes a run fail.
inline BlockForm block_form_from(const char* requested) {
  const BlockForm widest = widest_block_form();
  if (requested == nullptr) return widest;
  const std::string_view name(requested);
  if (name == "plain") return BlockForm::Plain;
  if (name == "sse2") return BlockForm::Sse2;
  return widest;
}

// block_form_from the environment: read where a check begins, never written by the programs.
BlockForm block_form_of_environment();

// Calls the code of one form: plain(), sse2() or avx2(), each returning the same type. avx2 is
// called only in builds that have the AVX2 forms; elsewhere the form is run as Sse2, and the
// caller's avx2 may forward to its sse2.
template <class Plain, class Sse2, class Avx2>
[[gnu::always_inline]] inline decltype(auto) in_block_form(BlockForm form, Plain&& plain,
                                                           Sse2&& sse2,
                                                           [[maybe_unused]] Avx2&& avx2) {
  switch (form) {
    case BlockForm::Avx2:
#if defined(UNITCHECK_AVX2_FORMS)
      return avx2();
#else
      return sse2();
#endif
    case BlockForm::Sse2:
      return sse2();
    case BlockForm::Plain:
      break;
  }
  return plain();
}

// The classes of the count (below 64) bytes at p; bits from count up are clear. classify is
// the form of classify_block64 to use.
template <class Classify>
inline ByteClasses64 classify_tail64_with(Classify&& classify, const char* p, std::size_t count,
                                          char a, char b, char c) {
  char block[64] = {};
  std::memcpy(block, p, count);
  ByteClasses64 out = classify(block, a, b, c);
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

// The classes of block with every mask moved down by shift bits (0 < shift < 64): those of the
// bytes from shift on, with the bits from 64 - shift up clear.
inline ByteClasses64 shifted_down(const ByteClasses64& block, int shift) {
  return {block.structural >> shift, block.opens >> shift,  block.closes >> shift,
          block.digits >> shift,     block.points >> shift, block.signs >> shift,
          block.minus >> shift};
}

inline ByteClasses64 classify_tail64(const char* p, std::size_t count, char a, char b, char c) {
  return classify_tail64_with(classify_block64, p, count, a, b, c);
}

// The classes of the count bytes of text (of n bytes) from base: when they are the last of a text
// of a block or more, the last 64 bytes are classified and the masks moved down, rather than
// copying the bytes into a block of their own.
template <class Classify>
[[gnu::always_inline]] inline ByteClasses64 classify_block_at(Classify& classify, const char* text,
                                                              std::size_t n, std::size_t base,
                                                              std::size_t count) {
  if (count == 64 || n < 64) return classify(text + base, count);
  return shifted_down(classify(text + n - 64, 64), static_cast<int>(64 - count));
}

#if defined(UNITCHECK_AVX2_FORMS)
// The classes of the count bytes at p (64, or fewer at the end of a text: bits from count up
// are clear) against compared bytes made once.
__attribute__((target("avx2"))) inline ByteClasses64 classify_avx2_with(const char* p,
                                                                        std::size_t count,
                                                                        const ClassBytesAvx2& k) {
  if (count == 64) return classify_block64_avx2_with(p, k);
  // The compared bytes are in k: the tail's own a, b and c go unused.
  return classify_tail64_with(
      [&k](const char* block, char, char, char) { return classify_block64_avx2_with(block, k); }, p,
      count, '\0', '\0', '\0');
}
#endif

}  // namespace unitcheck
