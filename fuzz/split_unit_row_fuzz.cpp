// Splits arbitrary bytes as a unit line, the field limit taken from the first byte, and checks
// the cells against a position-by-position model of the rules and against the row's shape,
// with every form of the search the processor has, and also as the row checks cut it: from
// 64-byte masks outside quoted cells, with every form of the classification the processor has.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "csv/split_unit_row.h"
#include "validate/mask_splitter.h"

namespace {

struct Cell {
  int column;
  std::size_t offset;
  std::size_t size;
  bool operator==(const Cell&) const = default;
};

struct Result {
  std::vector<Cell> cells;
  unitcheck::RowShape shape;
};

// The rules followed one position at a time: k from 1 to n, p the last opening comma (-1 for
// none), q the open quote (0 for none).
Result model(std::string_view s, int limit) {
  Result r{{}, {0, false, 0}};
  const long n = static_cast<long>(s.size());
  int column = 0;
  long p = 0;
  long q = 0;
  auto deliver = [&](long from, long to) {  // 1-based, inclusive
    r.cells.push_back(
        {column++, static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1)});
  };
  for (long k = 1; k <= n; ++k) {
    if (column >= limit) {
      r.shape.too_many = true;
      r.shape.stop_offset = static_cast<std::size_t>(k - 1);
      break;
    }
    bool delivered = false;
    const char c = s[static_cast<std::size_t>(k - 1)];
    if (c == '"') {
      if (q == 0) {
        q = k;
      } else {
        deliver(q + 1, k - 1);
        q = 0;
        p = -1;
        delivered = true;
      }
    }
    if (!delivered && q == 0 && c == ',') {
      if (p != -1) {
        deliver(p + 1, k - 1);
        delivered = true;
      }
      p = k;
    }
    if (!delivered && k == n) deliver(p == -1 ? 1 : p + 1, n);
  }
  if (n > 0 && s.back() == ',') ++column;
  r.shape.cell_count = column;
  return r;
}

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int limit = static_cast<int>(data[0] % 32) - 1;
  const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);

  Result got{{}, {0, false, 0}};
  got.shape = unitcheck::split_unit_row(line, limit, [&](int column, std::string_view cell) {
    check(cell.data() >= line.data() && cell.data() + cell.size() <= line.data() + line.size());
    check(column == static_cast<int>(got.cells.size()));
    got.cells.push_back({column, static_cast<std::size_t>(cell.data() - line.data()), cell.size()});
  });

  const int delivered = static_cast<int>(got.cells.size());
  const bool trailing_comma = !line.empty() && line.back() == ',';
  check(got.shape.cell_count == delivered + (trailing_comma ? 1 : 0));
  check(delivered <= (limit > 0 ? limit : 0));
  if (got.shape.too_many) check(delivered == (limit > 0 ? limit : 0));
  if (!got.shape.too_many && !line.empty()) check(delivered > 0);

#if defined(UNITCHECK_AVX2_FORMS)
  // The search built for wider vectors cuts the same cells.
  if (unitcheck::has_avx2()) {
    std::vector<Cell> wide;
    const unitcheck::RowShape wide_shape = unitcheck::split_unit_row(
        line, limit,
        [&](int column, std::string_view cell) {
          wide.push_back(
              {column, static_cast<std::size_t>(cell.data() - line.data()), cell.size()});
        },
        unitcheck::FindCommaOrQuoteAvx2{});
    check(wide == got.cells);
    check(wide_shape.cell_count == got.shape.cell_count);
    check(wide_shape.too_many == got.shape.too_many);
    check(wide_shape.stop_offset == got.shape.stop_offset);
  }
#endif

  // The same cells cut from 64-byte masks outside quoted cells and by the rules inside them, the
  // masks taking up again after each of the first few, with the forms of the classification.
  auto check_masked = [&](auto classify) {
    std::vector<Cell> masked;
    const unitcheck::RowShape masked_shape = unitcheck::split_row_by_masks(
        line, limit, classify,
        [&](int column, std::string_view cell, unitcheck::CellNumbers numbers) {
          check(!numbers.plain_float || cell.empty() || unitcheck::is_plain_float(cell));
          check(!numbers.plain_integer || cell.empty() || unitcheck::is_plain_integer(cell, 18));
          masked.push_back(
              {column, static_cast<std::size_t>(cell.data() - line.data()), cell.size()});
        });
    check(masked == got.cells);
    check(masked_shape.cell_count == got.shape.cell_count);
    check(masked_shape.too_many == got.shape.too_many);
    if (got.shape.too_many) check(masked_shape.stop_offset == got.shape.stop_offset);
  };
  check_masked(unitcheck::CommaBlocks{});
#if defined(UNITCHECK_AVX2_FORMS)
  if (unitcheck::has_avx2()) check_masked(unitcheck::CommaBlocksAvx2{});
#endif

  // With every column in one run of floating-point columns, the cells not delivered are
  // comma-ended plain numbers, and the others are the same cells.
  {
    std::vector<unsigned char> runs(40);
    for (std::size_t i = 0; i < runs.size(); ++i) runs[i] = static_cast<unsigned char>(40 - i);
    std::size_t next = 0;  // the index into got.cells of the next cell to match
    const unitcheck::RowShape run_shape = unitcheck::split_row_by_masks(
        line, limit, unitcheck::CommaBlocks{},
        [&](int column, std::string_view cell, unitcheck::CellNumbers) {
          while (next < got.cells.size() && got.cells[next].column != column) {
            const Cell& passed = got.cells[next++];
            const std::string_view text = line.substr(passed.offset, passed.size);
            check(text.empty() || unitcheck::is_plain_float(text));
            check(passed.offset + passed.size < line.size() &&
                  line[passed.offset + passed.size] == ',');
          }
          check(next < got.cells.size());
          check(got.cells[next].offset == static_cast<std::size_t>(cell.data() - line.data()));
          check(got.cells[next].size == cell.size());
          ++next;
        },
        runs);
    for (; next < got.cells.size(); ++next) {
      const Cell& passed = got.cells[next];
      const std::string_view text = line.substr(passed.offset, passed.size);
      check(text.empty() || unitcheck::is_plain_float(text));
      check(passed.offset + passed.size < line.size() && line[passed.offset + passed.size] == ',');
    }
    check(run_shape.cell_count == got.shape.cell_count);
    check(run_shape.too_many == got.shape.too_many);
    if (got.shape.too_many) check(run_shape.stop_offset == got.shape.stop_offset);
  }

  const Result expected = model(line, limit);
  check(got.cells == expected.cells);
  check(got.shape.cell_count == expected.shape.cell_count);
  check(got.shape.too_many == expected.shape.too_many);
  if (got.shape.too_many) check(got.shape.stop_offset == expected.shape.stop_offset);
  return 0;
}
