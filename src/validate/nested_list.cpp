#include "validate/nested_list.h"

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
      if (!context.parts.knows(state.part_name, value))
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

// True when the value in [start, end) of the block of 64 bytes at base needs no further check:
// an empty or plain number of the field's type. False whenever in doubt.
bool passes_in_block(FieldType type, const ByteClasses64& block, std::size_t base,
                     std::size_t start, std::size_t end) {
  if (start < base) return false;  // the value began in an earlier block
  const std::uint64_t span = bits_between(start - base, end - base);
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
  const std::size_t field_count = list.fields.size();
  std::size_t field_index = 0;
  std::size_t start = 0;  // 1-based position of the last brace or semicolon; 0 before any
  bool closed = true;
  // Handles the brace or semicolon at index of the block at base.
  auto on_structural = [&](std::size_t index, const ByteClasses64& block, std::size_t base) {
    const std::size_t k = index + 1;
    const char byte = cell[index];
    if (byte == '{') {
      field_index = 0;
      start = k;
      if (!closed)
        messages::unclosed_group(context.console, row_number, list.table_name, static_cast<int>(k));
      closed = false;
      return;
    }
    if (field_index >= field_count) {
      messages::too_many_values(context.console, row_number, list.table_name);
    } else {
      NestedField& field = list.fields[field_index];
      // Most values are plain numbers: they pass without leaving the loop.
      if (!passes_in_block(field.type, block, base, start, index))
        check_value(state, field, cell.substr(start, index - start), static_cast<int>(k));
    }
    ++field_index;
    start = k;
    if (byte == '}') closed = true;
  };
  // Only braces and semicolons move the parse; every other byte is value text.
  const std::size_t n = cell.size();
  for (std::size_t base = 0; base < n; base += 64) {
    const ByteClasses64 block = n - base >= 64
                                    ? classify_block64(cell.data() + base, '{', ';', '}')
                                    : classify_tail64(cell.data() + base, n - base, '{', ';', '}');
    for (std::uint64_t mask = block.structural; mask != 0; mask &= mask - 1)
      on_structural(base + static_cast<std::size_t>(std::countr_zero(mask)), block, base);
  }
}

}  // namespace unitcheck
