#include "validate/nested_list.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "csv/byte_scan.h"
#include "tables/convert.h"
#include "validate/category_list.h"
#include "validate/char_sets.h"
#include "validate/messages.h"
#include "validate/part_index.h"

namespace unitcheck {

namespace {

NestedRole role_of(std::string_view table, std::string_view field) {
  if (table == "cargo_import" && field == "Cat") return NestedRole::Category;
  if (table == "cargo" && field == "filename") return NestedRole::PartName;
  if (table == "cargo" && field == "Category") return NestedRole::CargoCategory;
  return NestedRole::None;
}

// The state of one cell's parse that the value checks share.
struct CellState {
  NestedList& list;
  std::int64_t row;
  NestedContext& context;
  std::string_view part_name;  // the last cargo filename of this cell
};

// Whether the cargo item is in the part list by its part or by its category. The category is
// asked first: a part list has thousands of part names but a few dozen categories, so the
// category set stays in the cache while a part-name probe usually misses it, and most items
// carry a listed category.
bool cargo_known(const PartIndex& parts, std::string_view part_name, std::string_view category) {
  return parts.knows_category(category) || parts.knows_part(part_name);
}

void check_text(CellState& state, NestedField& field, std::string_view value) {
  NestedContext& context = state.context;
  const int length = static_cast<int>(value.size());
  field.length.record(length);
  const std::string_view table = state.list.table_name;
  if (length >= field.data_size)
    messages::nested_text_too_long(context.console, state.row, table, field.name, field.data_size,
                                   length);
  switch (field.role) {
    case NestedRole::Category:
      if (!context.category_list.contains(value))
        messages::category_not_found(context.console, state.row, table, field.name, value);
      break;
    case NestedRole::PartName:
      state.part_name = value;
      break;
    case NestedRole::CargoCategory:
      if (!cargo_known(context.parts, state.part_name, value))
        messages::cargo_part_not_found(context.console, state.row, table, field.name,
                                       state.part_name, value);
      break;
    case NestedRole::None:
      break;
  }
}

void check_integer(CellState& state, const NestedField& field, std::string_view value,
                   int position) {
  if (value.empty() || is_plain_integer(value, 9)) return;
  Console& out = state.context.console;
  if (!all_chars_in(value, integer_chars)) {
    messages::nested_not_integer(out, state.row, state.list.table_name, field.name, value);
    return;
  }
  const int error_position = convert_int32(value).error_position;
  if (error_position > 0)
    messages::nested_integer_conversion(out, state.row, state.list.table_name, field.name, value,
                                        error_position, position);
}

void check_boolean(CellState& state, const NestedField& field, std::string_view value) {
  if (value.empty() || value == "1" || value == "0") return;
  messages::nested_not_boolean(state.context.console, state.row, state.list.table_name, field.name,
                               value);
}

void check_float(CellState& state, const NestedField& field, std::string_view value, int position) {
  if (value.empty() || is_plain_float(value)) return;
  Console& out = state.context.console;
  if (!all_chars_in(value, float_chars)) {
    messages::nested_not_float(out, state.row, state.list.table_name, field.name, value);
    return;
  }
  const int error_position = float_error_position(value);
  if (error_position > 0)
    messages::nested_float_conversion(out, state.row, state.list.table_name, field.name, value,
                                      error_position, position);
}

// Checks one value by its field's type; position is that of the byte that ended it.
void check_value(CellState& state, NestedField& field, std::string_view value, int position) {
  switch (field.type) {
    case FieldType::Text:
      check_text(state, field, value);
      break;
    case FieldType::Integer:
      check_integer(state, field, value, position);
      break;
    case FieldType::Boolean:
      check_boolean(state, field, value);
      break;
    case FieldType::Float:
      check_float(state, field, value, position);
      break;
    case FieldType::Int64:
      break;
  }
}

// The bits of a 64-bit block mask from from up to, not including, to (from <= to < 64).
std::uint64_t bits_between(std::size_t from, std::size_t to) {
  return (std::uint64_t{1} << to) - (std::uint64_t{1} << from);
}

// True when the value whose bytes are span in block needs no further check: an empty or plain
// number of the field's type. False whenever in doubt.
bool passes_on_masks(FieldType type, std::uint64_t span, const ByteClasses64& block) {
  switch (type) {
    case FieldType::Float:
      return span == 0 || is_plain_float_span(span, block.digits, block.points, block.signs);
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

NestedList::NestedList(const MemTable& table) : table_name(table.name()) {
  for (int i = 0; i < table.field_count(); ++i) {
    const Field& field = table.field_at(i);
    fields.push_back(NestedField{field.name(), field.type(), field.data_size(),
                                 LengthTally{table_name + "." + field.name()},
                                 role_of(table_name, field.name())});
  }
}

void NestedList::flush_lengths(MaxLengths& max_lengths) {
  for (NestedField& field : fields) field.length.flush_into(max_lengths);
}

void check_nested_list(std::string_view cell, NestedList& list, std::int64_t row_number,
                       NestedContext& context) {
  CellState state{list, row_number, context, {}};
  NestedField* const first_field = list.fields.data();
  NestedField* const no_field = first_field + list.fields.size();
  NestedField* field = first_field;  // no_field once the group has more values than fields
  std::size_t start = 0;  // 1-based position of the last brace or semicolon; 0 before any
  bool closed = true;
  // Only braces and semicolons move the parse; every other byte is value text. Each block after
  // the first begins where the unfinished value began, so a value shorter than a block is seen
  // whole in one block and a plain number passes on its masks.
  const std::size_t n = cell.size();
  for (std::size_t base = 0; base < n;) {
    const std::size_t count = std::min<std::size_t>(n - base, 64);
    const ByteClasses64 block = count == 64
                                    ? classify_block64(cell.data() + base, '{', ';', '}')
                                    : classify_tail64(cell.data() + base, count, '{', ';', '}');
    for (std::uint64_t mask = block.structural; mask != 0; mask &= mask - 1) {
      const std::size_t index = base + static_cast<std::size_t>(std::countr_zero(mask));
      const std::size_t k = index + 1;
      const char byte = cell[index];
      if (byte == '{') {
        field = first_field;
        if (!closed)
          messages::unclosed_group(context.console, row_number, list.table_name,
                                   static_cast<int>(k));
        closed = false;
      } else if (field == no_field) {
        messages::too_many_values(context.console, row_number, list.table_name);
      } else {
        // A value that began in an earlier block is longer than a block: its bytes decide.
        const bool whole = start >= base;
        if (!(whole &&
              passes_on_masks(field->type, bits_between(start - base, index - base), block)))
          check_value(state, *field, cell.substr(start, index - start), static_cast<int>(k));
        ++field;
      }
      if (byte == '}') closed = true;
      start = k;
    }
    if (base + count == n) break;
    base = start > base ? start : base + 64;
  }
}

}  // namespace unitcheck
