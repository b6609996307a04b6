#pragma once

#include <array>
#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace unitcheck::lint {

// Printable ASCII other than the quote and the backslash: such a byte is its own JSON encoding,
// and never part of a longer UTF-8 sequence.
inline constexpr std::array<bool, 256> kJsonPlain = [] {
  std::array<bool, 256> plain{};
  for (int byte = 0x20; byte <= 0x7e; ++byte) plain[static_cast<std::size_t>(byte)] = true;
  plain['"'] = plain['\\'] = false;
  return plain;
}();

inline bool is_json_plain(char c) {
  return kJsonPlain[static_cast<unsigned char>(c)];
}

// The bytes of a 16-byte block that are not their own JSON encoding, as bits (bit i for
// block[i]): below 0x20, 0x7f and up, a quote or a backslash. The plain form is compiled
// everywhere, so that the tests hold the SSE2 form to it.
inline unsigned special_mask16_plain(const char* block) {
  unsigned mask = 0;
  for (unsigned i = 0; i < 16; ++i) mask |= is_json_plain(block[i]) ? 0u : 1u << i;
  return mask;
}

inline unsigned special_mask16(const char* block) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
  // A signed compare: bytes of 0x80 and up are negative, below 0x20 with the controls.
  const __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7f))),
                                       _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
  return static_cast<unsigned>(_mm_movemask_epi8(special));
#else
  return special_mask16_plain(block);
#endif
}

}  // namespace unitcheck::lint
