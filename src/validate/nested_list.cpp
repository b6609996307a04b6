// Tested by tests/validate/nested_list_test.cpp (the walk over masks against the byte-by-byte
// rules at every offset, in every block form) and the whole-run fuzz targets.

#include "validate/nested_list.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

#include "csv/byte_scan.h"
#include "tables/schemas.h"
#include "validate/category_list.h"
#include "validate/cell_judge.h"
#include "validate/char_sets.h"
#include "validate/number_shapes.h"
#include "validate/part_index.h"

namespace unitcheck {

namespace {

// The state of one cell's parse that the value checks share.
struct CellState {
  const NestedList& list;
  const Finding& cell;
  const NestedContext& context;
  std::string_view part_name;  // the last cargo filename of this cell
};

// Reports a finding about the value that starts at start (0-based) in the cell.
void report(const CellState& state, FindingKind kind, const NestedField* field,
            std::string_view value, std::size_t start, std::int64_t position = 0,
            std::int64_t error_position = 0) {
  Finding finding = state.cell;
  finding.kind = kind;
  finding.table = state.list.table_name;
  if (field != nullptr) {
    finding.field = field->name;
    finding.limit = field->data_size;
  }
  finding.value = value;
  finding.length = static_cast<std::int64_t>(value.size());
  finding.value_offset = state.cell.cell_offset + static_cast<std::int64_t>(start);
  finding.position = position;
  finding.error_position = error_position;
  if (kind == FindingKind::CargoPartNotFound) finding.part = state.part_name;
  state.context.sink.report(finding);
}

// Whether the cargo item is in the part list by its part or by its category. The category is
// asked first: a part list has thousands of part names but a few dozen categories, so the
// category set stays in the cache while a part-name probe usually misses it, and most items
// carry a listed category.
bool cargo_known(const PartIndex& parts, std::string_view part_name, std::string_view category) {
  return parts.knows_category(category) || parts.knows_part(part_name);
}

void check_text(CellState& state, const NestedField& field, LengthTally& length,
                std::string_view value, std::size_t start) {
  const NestedContext& context = state.context;
  length.record(static_cast<std::int64_t>(value.size()));
  if (!fits_declared_size(value, field.declared_size))
    report(state, FindingKind::NestedTextTooLong, &field, value, start);
  switch (field.role) {
    case ColumnRole::Category:
      if (!context.category_list.contains(value))
        report(state, FindingKind::CategoryNotFound, &field, value, start);
      break;
    case ColumnRole::PartName:
      state.part_name = value;
      break;
    case ColumnRole::CargoCategory:
      if (!cargo_known(context.parts, state.part_name, value))
        report(state, FindingKind::CargoPartNotFound, &field, value, start);
      break;
    default:  // Plain: only the length counts
      break;
  }
}

// Checks a value of a boolean or number field by the judge of values; position is that of the
// byte that ended it, counted from 1, which a failed conversion reports.
void check_judged(const CellState& state, const NestedField& field, std::string_view value,
                  std::size_t start, std::int64_t position) {
  const Judgement judgement = judge_value(field.rule, value);
  if (judgement.fits()) return;
  const bool converted = judgement.error_position > 0;
  report(state, finding_kind(judgement.verdict, true), &field, value, start,
         converted ? position : 0, judgement.error_position);
}

// Checks a value of the field, whose length tally is length, that starts at start in the cell;
// position is that of the byte that ended it, counted from 1.
void check_value(CellState& state, const NestedField& field, LengthTally& length,
                 std::string_view value, std::size_t start, std::int64_t position) {
  if (field.type == FieldType::Text)
    check_text(state, field, length, value, start);
  else
    check_judged(state, field, value, start, position);
}

// The bits of a 64-bit block mask from from up to, not including, to (from <= to < 64).
std::uint64_t bits_between(std::size_t from, std::size_t to) {
  return (std::uint64_t{1} << to) - (std::uint64_t{1} << from);
}

// True when the value whose bytes are span, ended by end_bit, needs no further check: an empty
// or plain number of the field's type, as float_ends (plain_float_ends of the block) and the
// block's masks say. False whenever in doubt.
bool passes_on_masks(FieldType type, std::uint64_t end_bit, std::uint64_t span,
                     std::uint64_t float_ends, const ByteClasses64& block) {
  switch (type) {
    case FieldType::Float:
      return (float_ends & end_bit) != 0;
    case FieldType::Integer:
      return span == 0 || is_plain_integer_span(span, block.digits, block.minus, 9);
    case FieldType::Text:
    case FieldType::Boolean:
    case FieldType::Int64:
      return false;
  }
  return false;
}

}  // namespace

NestedList::NestedList(const NestedListColumn& column)
    : column_name(column.column), table_name(column.table) {
  for (const ColumnSchema& field : find_table_schema(column.table)->columns) {
    fields.push_back(NestedField{std::string(field.name), field.type, field.size,
                                 data_size_of(field.type, field.size), field.role,
                                 value_rule(field.type, true)});
    number_kinds.push_back(field.type == FieldType::Float     ? kFloatNumbers
                           : field.type == FieldType::Integer ? kIntegerNumbers
                                                              : kNoNumbers);
  }
  number_kinds.push_back(kNoNumbers);
  float_runs =
      run_lengths(fields.size(), [&](std::size_t i) { return fields[i].type == FieldType::Float; });
}

std::vector<LengthTally> NestedList::length_tallies() const {
  std::vector<LengthTally> tallies;
  for (const NestedField& field : fields)
    tallies.push_back(LengthTally{table_name + "." + field.name});
  return tallies;
}

NestedLists::NestedLists()
    : lists([]<std::size_t... I>(std::index_sequence<I...>) {
        return std::array<NestedList, kNestedListCount>{NestedList(nested_list_columns()[I])...};
      }(std::make_index_sequence<kNestedListCount>())) {}

int NestedLists::find(std::string_view column) const {
  for (std::size_t i = 0; i < lists.size(); ++i)
    if (lists[i].column_name == column) return static_cast<int>(i);
  return -1;
}

namespace {

// Parses and checks one cell; classify(p, count) gives the classes of the count (at most 64)
// bytes at p. Inlined into each caller, so that a caller built for wider vectors runs all of it
// with them.
template <class Classify>
[[gnu::always_inline]] inline void walk_cell(Classify classify, std::string_view cell,
                                             const NestedList& list, std::span<LengthTally> lengths,
                                             const Finding& where, const NestedContext& context) {
  CellState state{list, where, context, {}};
  // The index of the field of the next value, which also picks its length tally; the number of
  // fields once the group has more values than fields.
  const std::size_t field_count = list.fields.size();
  const unsigned char* const number_kinds = list.number_kinds.data();
  const unsigned char* const float_runs = list.float_runs.data();
  std::size_t field_index = 0;
  std::size_t start = 0;        // 1-based position of the last brace or semicolon; 0 before any
  bool closed = true;           // by the last brace before the block: none, or '}'
  std::size_t group_start = 0;  // of the last '{'
  // Only braces and semicolons move the parse; every other byte is value text. A block after
  // the first begins where an unfinished value of a number field began, so a number shorter than
  // a block is seen whole in one block and passes on its masks; otherwise it begins where the
  // block before it ended, as no other value is judged on masks.
  const std::size_t n = cell.size();
  for (std::size_t base = 0; base < n;) {
    const std::size_t count = std::min<std::size_t>(n - base, 64);
    const ByteClasses64 block = classify_block_at(classify, cell.data(), n, base, count);
    // The block begins a value unless that value began in an earlier block: a value longer
    // than a block, whose bytes decide.
    const bool begins_value = start == base;
    const std::uint64_t starts = block.structural << 1 | std::uint64_t{begins_value};
    const std::uint64_t float_ends =
        plain_float_ends(block.structural, starts, block.digits, block.points, block.signs);
    // The ends of values that pass by their field's kind of number: plain numbers seen whole,
    // not ended by an opening brace.
    const std::uint64_t first_end = block.structural & (~block.structural + 1);
    const std::uint64_t whole_ends = ~block.opens & (begins_value ? ~0ull : ~first_end);
    const std::uint64_t passing[] = {
        0, float_ends & whole_ends,
        plain_integer_ends(block.structural, starts, block.digits, block.minus, 9) & whole_ends};
    // Whether the groups are closed before the byte of end_bit (all of the block for 0): as the
    // last brace before it says.
    auto closed_before = [&](std::uint64_t end_bit) {
      const std::uint64_t braces = (block.opens | block.closes) & (end_bit - 1);
      if (braces == 0) return closed;
      return (block.closes >> (63 - std::countl_zero(braces)) & 1) != 0;
    };
    // The end of the last value let through, from which start is worked out when needed.
    std::uint64_t passed_end = 0;
    auto catch_up = [&] {
      if (passed_end != 0)
        start = base + static_cast<std::size_t>(std::countr_zero(passed_end)) + 1;
      passed_end = 0;
    };
    for (std::uint64_t mask = block.structural; mask != 0; mask &= mask - 1) {
      const std::uint64_t end_bit = mask & (~mask + 1);
      // Most values are plain numbers of number fields: they only move the walk on. The values
      // of a run of floating-point fields pass together, up to the first that does not pass (an
      // opening brace never does) and no further than the run's last field.
      if (const unsigned run = float_runs[field_index]; run > 1) {
        const std::uint64_t together =
            passing_together(mask, passing[NestedList::kFloatNumbers], run);
        const auto count = static_cast<unsigned>(std::popcount(together));
        if (together != 0) {
          field_index += count;
          passed_end = std::uint64_t{1} << (63 - std::countl_zero(together));
          mask &= ~together | end_bit;  // end_bit goes with the loop's step
          continue;
        }
      }
      if ((passing[number_kinds[field_index]] & end_bit) != 0) {
        ++field_index;
        passed_end = end_bit;
        continue;
      }
      catch_up();
      const std::size_t index = base + static_cast<std::size_t>(std::countr_zero(mask));
      const std::size_t k = index + 1;
      if ((block.opens & end_bit) != 0) {
        field_index = 0;
        group_start = index;
        if (!closed_before(end_bit))
          report(state, FindingKind::UnclosedGroup, nullptr, {}, index,
                 static_cast<std::int64_t>(k));
      } else if (field_index == field_count) {
        report(state, FindingKind::TooManyValues, nullptr, cell.substr(start, index - start), start,
               static_cast<std::int64_t>(k));
      } else {
        const NestedField& field = list.fields[field_index];
        LengthTally& length = lengths[field_index];
        // start <= index < n: the value lies in the cell.
        const std::string_view value(cell.data() + start, index - start);
        if (field.type == FieldType::Text &&
            (field.role == ColumnRole::Plain || field.role == ColumnRole::PartName)) {
          // A text with no lookup: only its length counts, and a part name is kept for the
          // category that follows it.
          length.record(static_cast<std::int64_t>(value.size()));
          if (!fits_declared_size(value, field.declared_size))
            report(state, FindingKind::NestedTextTooLong, &field, value, start);
          if (field.role == ColumnRole::PartName) state.part_name = value;
        } else if (field.type == FieldType::Text) {
          check_text(state, field, length, value, start);
        } else if (field.type == FieldType::Boolean) {
          // Most are 1, 0 or empty, which the judge passes.
          if (!value.empty() && !is_boolean_digit(value))
            check_judged(state, field, value, start, static_cast<std::int64_t>(k));
        } else {
          const bool whole = start >= base;
          if (!(whole &&
                passes_on_masks(field.type, end_bit, bits_between(start - base, index - base),
                                float_ends, block)))
            check_value(state, field, length, value, start, static_cast<std::int64_t>(k));
        }
        ++field_index;
      }
      start = k;
    }
    catch_up();
    closed = closed_before(0);
    if (base + count == n) break;
    const bool number_unfinished = number_kinds[field_index] != NestedList::kNoNumbers;
    base = start > base && number_unfinished ? start : base + 64;
  }
  // The transcript says nothing of a last group left open, nor checks its unended value.
  if (!closed)
    report(state, FindingKind::UnclosedLastGroup, nullptr, cell.substr(group_start), group_start,
           static_cast<std::int64_t>(n));
}

ByteClasses64 classify_cell_bytes(const char* p, std::size_t count) {
  return count == 64 ? classify_block64(p, '{', ';', '}')
                     : classify_tail64(p, count, '{', ';', '}');
}

ByteClasses64 classify_cell_bytes_plain(const char* p, std::size_t count) {
  return count == 64 ? classify_block64_plain(p, '{', ';', '}')
                     : classify_tail64_with(classify_block64_plain, p, count, '{', ';', '}');
}

#if defined(UNITCHECK_AVX2_FORMS)
// The AVX2 classification, with its compared bytes made once per cell.
struct CellBytesAvx2 {
  __attribute__((target("avx2"))) ByteClasses64 operator()(const char* p, std::size_t count) const {
    return classify_avx2_with(p, count, bytes);
  }
  ClassBytesAvx2 bytes;
};

__attribute__((target("avx2"))) void check_nested_list_avx2(std::string_view cell,
                                                            const NestedList& list,
                                                            std::span<LengthTally> lengths,
                                                            const Finding& where,
                                                            const NestedContext& context) {
  walk_cell(CellBytesAvx2{class_bytes_avx2('{', ';', '}')}, cell, list, lengths, where, context);
}
#else
// A build without the AVX2 forms runs the SSE2 form in its stead.
void check_nested_list_avx2(std::string_view cell, const NestedList& list,
                            std::span<LengthTally> lengths, const Finding& where,
                            const NestedContext& context) {
  walk_cell(classify_cell_bytes, cell, list, lengths, where, context);
}
#endif

}  // namespace

void check_nested_list(std::string_view cell, const NestedList& list,
                       std::span<LengthTally> lengths, const Finding& where,
                       const NestedContext& context) {
  in_block_form(
      context.form,
      [&] { walk_cell(classify_cell_bytes_plain, cell, list, lengths, where, context); },
      [&] { walk_cell(classify_cell_bytes, cell, list, lengths, where, context); },
      [&] { check_nested_list_avx2(cell, list, lengths, where, context); });
}

}  // namespace unitcheck
