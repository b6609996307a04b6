#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "csv/byte_scan.h"
#include "csv/split_unit_row.h"
#include "validate/char_sets.h"

namespace unitcheck {

// What the masks of a line say of a cell that a comma ends: whether it is empty or a plain
// number of the shapes that pass without a conversion. Both false when in doubt.
struct CellNumbers {
  bool plain_float = false;    // empty or is_plain_float
  bool plain_integer = false;  // empty or is_plain_integer with 18 digits at most
};

// The classification of a unit line's blocks, with the comma as the structural byte, in each
// form: types rather than functions, so that they are inlined where they are passed.
struct CommaBlocks {
  bool has_comma(const char* p) const { return find_any_of(p, p + 64, ',', ',', ',') != p + 64; }
  ByteClasses64 operator()(const char* p, std::size_t count) const {
    return count == 64 ? classify_block64(p, ',', ',', ',')
                       : classify_tail64(p, count, ',', ',', ',');
  }
};

struct CommaBlocksPlain {
  bool has_comma(const char* p) const { return std::memchr(p, ',', 64) != nullptr; }
  ByteClasses64 operator()(const char* p, std::size_t count) const {
    return count == 64 ? classify_block64_plain(p, ',', ',', ',')
                       : classify_tail64_with(classify_block64_plain, p, count, ',', ',', ',');
  }
};

#if defined(UNITCHECK_AVX2_FORMS)
struct CommaBlocksAvx2 {
  __attribute__((target("avx2"))) bool has_comma(const char* p) const {
    const __m256i comma = _mm256_set1_epi8(',');
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    return _mm256_movemask_epi8(
               _mm256_or_si256(_mm256_cmpeq_epi8(low, comma), _mm256_cmpeq_epi8(high, comma))) != 0;
  }
  __attribute__((target("avx2"))) ByteClasses64 operator()(const char* p, std::size_t count) const {
    return count == 64 ? classify_block64_avx2(p, ',', ',', ',')
                       : classify_tail64_with(classify_block64_avx2, p, count, ',', ',', ',');
  }
};
#endif

// split_unit_row for a line that holds no quote, where its rules come down to: each comma ends
// a cell, the bytes after the last comma are the last cell, and once field_limit cells are cut
// a further cell stops the split. The line is read in blocks of 64 bytes classified by
// classify(p, count) with the comma as the structural byte (classify.has_comma(p) tells first
// whether the 64 bytes at p hold one); each block begins where the
// unfinished cell began, so a cell shorter than a block is seen whole and on_cell(column, cell,
// numbers) is told its number shape from the masks. The last cell comes with numbers unknown.
template <class Classify, class OnCell>
[[gnu::always_inline]] inline RowShape split_unquoted_row(std::string_view line, int field_limit,
                                                          Classify classify, OnCell&& on_cell) {
  const std::size_t n = line.size();
  int column = 0;
  bool too_many = false;
  std::size_t start = 0;  // of the cell being read
  for (std::size_t base = 0; base < n && !too_many;) {
    const std::size_t count = std::min<std::size_t>(n - base, 64);
    // The middle of a long cell, such as a nested list, holds no comma: only the search runs.
    if (count == 64 && !classify.has_comma(line.data() + base)) {
      base += 64;
      continue;
    }
    const ByteClasses64 block = classify(line.data() + base, count);
    const bool begins_cell = start == base;
    const std::uint64_t commas = block.structural;
    const std::uint64_t starts = commas << 1 | std::uint64_t{begins_cell};
    // A cell that began in an earlier block is longer than a block: its bytes decide.
    const std::uint64_t whole = begins_cell ? ~std::uint64_t{0} : ~(commas & (~commas + 1));
    const std::uint64_t floats =
        plain_float_ends(commas, starts, block.digits, block.points, block.signs) & whole;
    const std::uint64_t integers =
        plain_integer_ends(commas, starts, block.digits, block.minus, 18) & whole;
    for (std::uint64_t mask = commas; mask != 0; mask &= mask - 1) {
      if (column >= field_limit) {
        too_many = true;
        break;
      }
      const std::uint64_t end_bit = mask & (~mask + 1);
      const std::size_t index = base + static_cast<std::size_t>(std::countr_zero(mask));
      on_cell(column, line.substr(start, index - start),
              CellNumbers{(floats & end_bit) != 0, (integers & end_bit) != 0});
      ++column;
      start = index + 1;
    }
    if (base + count == n) break;
    base = start > base ? start : base + 64;
  }
  if (!too_many && start < n) {
    if (column >= field_limit) {
      too_many = true;
    } else {
      on_cell(column, line.substr(start), CellNumbers{});
      ++column;
    }
  }
  if (n > 0 && line.back() == ',') ++column;
  return RowShape{column, too_many, too_many ? start : n};
}

}  // namespace unitcheck
