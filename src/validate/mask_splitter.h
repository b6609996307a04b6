#pragma once

// The mask splitter: a unit line cut into cells from 64-byte masks of its commas and quotes,
// each short cell told its number shape on the way.
// Tested by tests/validate/mask_splitter_test.cpp (every form against split_unit_row on lines
// of every shape and length), fuzz/split_unit_row_fuzz.cpp, and the end-to-end cases, which CI
// runs in each form (UNITCHECK_BLOCK_FORM).

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "csv/byte_scan.h"
#include "csv/split_unit_row.h"
#include "validate/number_shapes.h"

namespace unitcheck {

// What the masks of a line say of a cell that a comma ends: whether it is empty or a plain
// number of the shapes that pass without a conversion. Both false when in doubt.
struct CellNumbers {
  bool plain_float = false;    // empty or is_plain_float
  bool plain_integer = false;  // empty or is_plain_integer with 18 digits at most
};

// The classification of a unit line's blocks, with the comma and the quote as the structural
// bytes (commas are the opens), and the search for the next comma or quote (Find), in each form:
// types rather than functions, so that they are inlined where they are passed. skip_blocks(p,
// end) is the first of p, p + 64, p + 128, ... whose 64 bytes hold a comma or a quote, or that
// has fewer than 64 bytes before end.
template <class Blocks>
const char* skip_blocks_one_by_one(const Blocks& blocks, const char* p, const char* end) {
  while (end - p >= 64 && !blocks.has_comma_or_quote(p)) p += 64;
  return p;
}

struct CommaBlocks {
  bool has_comma_or_quote(const char* p) const {
    return find_any_of(p, p + 64, ',', '"', ',') != p + 64;
  }
  const char* skip_blocks(const char* p, const char* end) const {
    return skip_blocks_one_by_one(*this, p, end);
  }
  ByteClasses64 operator()(const char* p, std::size_t count) const {
    return count == 64 ? classify_block64(p, ',', '"', ',')
                       : classify_tail64(p, count, ',', '"', ',');
  }
  using Find = FindCommaOrQuote;
};

struct CommaBlocksPlain {
  bool has_comma_or_quote(const char* p) const {
    return std::memchr(p, ',', 64) != nullptr || std::memchr(p, '"', 64) != nullptr;
  }
  const char* skip_blocks(const char* p, const char* end) const {
    return skip_blocks_one_by_one(*this, p, end);
  }
  ByteClasses64 operator()(const char* p, std::size_t count) const {
    return count == 64 ? classify_block64_plain(p, ',', '"', ',')
                       : classify_tail64_with(classify_block64_plain, p, count, ',', '"', ',');
  }
  using Find = FindCommaOrQuote;
};

#if defined(UNITCHECK_AVX2_FORMS)
// Made once per line: its compared bytes are made with it.
struct CommaBlocksAvx2 {
  __attribute__((target("avx2"))) CommaBlocksAvx2() : bytes(class_bytes_avx2(',', '"', ',')) {}

  // The bytes of the 32 at p that are commas or quotes, as 0xFF.
  __attribute__((target("avx2"))) __m256i commas_or_quotes(const char* p) const {
    const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    return _mm256_or_si256(_mm256_cmpeq_epi8(block, bytes.a), _mm256_cmpeq_epi8(block, bytes.b));
  }
  __attribute__((target("avx2"))) bool has_comma_or_quote(const char* p) const {
    return _mm256_movemask_epi8(_mm256_or_si256(commas_or_quotes(p), commas_or_quotes(p + 32))) !=
           0;
  }
  // 128 bytes a step, then the half that holds the first.
  __attribute__((target("avx2"))) const char* skip_blocks(const char* p, const char* end) const {
    while (end - p >= 128) {
      const __m256i hits =
          _mm256_or_si256(_mm256_or_si256(commas_or_quotes(p), commas_or_quotes(p + 32)),
                          _mm256_or_si256(commas_or_quotes(p + 64), commas_or_quotes(p + 96)));
      if (_mm256_movemask_epi8(hits) != 0) return has_comma_or_quote(p) ? p : p + 64;
      p += 128;
    }
    return skip_blocks_one_by_one(*this, p, end);
  }
  __attribute__((target("avx2"))) ByteClasses64 operator()(const char* p, std::size_t count) const {
    return classify_avx2_with(p, count, bytes);
  }
  using Find = FindCommaOrQuoteAvx2;

  ClassBytesAvx2 bytes;
};
#endif

// After this many quoted cells the rest of a line is cut by the rules alone: a line of many
// short quoted cells would otherwise have a block classified for each.
inline constexpr int kQuotedStretchesByMasks = 4;

// split_unit_row, with the cells outside quoted stretches cut from 64-byte masks (three
// lines in four have no quote at all). Outside them its rules come down to: each comma ends a
// cell, the bytes after the last comma are the last cell, and once field_limit cells are cut a
// further cell stops the split. The line is read in blocks of 64 bytes classified by
// classify(p, count) (classify.skip_blocks passes first over blocks that hold neither); each block
// begins where the unfinished cell began, so a cell shorter than a block is seen whole and
// on_cell(column, cell, numbers) is told its number shape from the masks. The last cell, and the
// cells from the one that holds a quote to the comma after the quoted cell, come with numbers
// unknown: they are cut by split_unit_row's rules written out, with Classify::Find as the search,
// and the masks take up again after that comma (for the first kQuotedStretchesByMasks quoted cells
// of a line; the rules cut the rest of it).
//
// A worked example: the line `ab,"c,d",7,` with a field_limit of 5. Its one block (11 bytes,
// the bits from 11 up clear) classifies as
//
//   byte      a b , " c , d " , 7 ,
//   commas    . . 1 . . 1 . . 1 . 1
//   quotes    . . . 1 . . . 1 . . .
//
// Only the comma before the first quote ends a cell by the masks: "ab" (column 0, its number
// shapes read off the masks: neither). The comma at 5 lies inside the quotes, so the rules take
// over at 3 and cut the quoted cell (column 1, delivered as `c,d`) up to the comma at 8; the
// masks take up again with a block at 9: "7" is ended by the comma at 10 (column 2, a plain
// number), and the line's closing comma counts an empty last cell: a RowShape of 4 cells.
//
// float_runs (may be empty) gives for each column how many columns from it on take plain
// floating-point numbers: the comma-ended cells of such a run that the masks tell are empty or
// plain numbers pass together, without a call, while the run lasts (cells of one column of a run
// are delivered as usual).
template <class Classify, class OnCell>
[[gnu::always_inline]] inline RowShape split_row_by_masks(
    std::string_view line, int field_limit, Classify classify, OnCell&& on_cell,
    std::span<const unsigned char> float_runs = {}) {
  const std::size_t n = line.size();
  int column = 0;
  bool too_many = false;
  std::size_t start = 0;  // of the cell being read
  int quoted_stretches = 0;
  for (std::size_t base = 0; base < n && !too_many;) {
    const std::size_t count = std::min<std::size_t>(n - base, 64);
    // The middle of a long cell, such as a nested list, holds no comma: only the search runs.
    if (count == 64) {
      const auto next = static_cast<std::size_t>(
          classify.skip_blocks(line.data() + base, line.data() + n) - line.data());
      if (next != base) {
        base = next;
        continue;
      }
    }
    const ByteClasses64 block = classify_block_at(classify, line.data(), n, base, count);
    const std::uint64_t commas = block.opens;
    const std::uint64_t quotes = block.structural & ~commas;
    const bool begins_cell = start == base;
    const std::uint64_t starts = commas << 1 | std::uint64_t{begins_cell};
    // A cell that began in an earlier block is longer than a block: its bytes decide.
    const std::uint64_t whole = begins_cell ? ~std::uint64_t{0} : ~(commas & (~commas + 1));
    const std::uint64_t floats =
        plain_float_ends(commas, starts, block.digits, block.points, block.signs) & whole;
    const std::uint64_t integers =
        plain_integer_ends(commas, starts, block.digits, block.minus, 18) & whole;
    // Only the commas before the first quote end cells by the masks.
    const std::uint64_t before_quote =
        quotes == 0 ? ~std::uint64_t{0} : (quotes & (~quotes + 1)) - 1;
    for (std::uint64_t mask = commas & before_quote; mask != 0; mask &= mask - 1) {
      if (column >= field_limit) {
        too_many = true;
        break;
      }
      const std::uint64_t end_bit = mask & (~mask + 1);
      // Up to the first cell that does not pass, and no further than the run or the limit: the
      // limit seldom cuts a run short, so it is applied to the cells found to pass (a run cut to
      // one cell is delivered, as the cell of a run of one).
      if (const unsigned run = static_cast<std::size_t>(column) < float_runs.size()
                                   ? float_runs[static_cast<std::size_t>(column)]
                                   : 0;
          run > 1) {
        std::uint64_t together = passing_together(mask, floats, run);
        auto count = static_cast<unsigned>(std::popcount(together));
        if (const auto room = static_cast<unsigned>(field_limit - column); count >= room) {
          together = room > 1 ? lowest_set_bits(together, room) : 0;
          count = room;
        }
        if (together != 0) {
          column += static_cast<int>(count);
          start = base + static_cast<std::size_t>(63 - std::countl_zero(together)) + 1;
          mask &= ~together | end_bit;  // end_bit goes with the loop's step
          continue;
        }
      }
      const std::size_t index = base + static_cast<std::size_t>(std::countr_zero(mask));
      on_cell(column, std::string_view(line.data() + start, index - start),
              CellNumbers{(floats & end_bit) != 0, (integers & end_bit) != 0});
      ++column;
      start = index + 1;
    }
    if (quotes != 0 && !too_many) {
      auto on_quoted_row_cell = [&](int at, std::string_view cell) {
        on_cell(at, cell, CellNumbers{});
      };
      if (quoted_stretches == kQuotedStretchesByMasks)
        return split_unit_row_from(line, field_limit, on_quoted_row_cell, typename Classify::Find{},
                                   column, start);
      // The rules cut the quoted cell, and the masks take up again at the comma after it.
      ++quoted_stretches;
      const SplitStop stop = split_unit_row_until<true>(line, field_limit, on_quoted_row_cell,
                                                        typename Classify::Find{}, column, start);
      if (stop.at_end) return stop.shape;
      column = stop.column;
      start = base = stop.offset;
      continue;
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
