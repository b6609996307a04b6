#pragma once

#include <cstdint>
#include <string_view>

namespace unitcheck {

class Console;

// Every diagnostic line of the validation stage, worded in one place, in transcript order.
// The checks decide whether and which; these functions decide how it reads.
namespace messages {

// Header mapping.
void unknown_fields_heading(Console& out);
void unknown_field(Console& out, std::string_view name);
void no_unknown_fields(Console& out);

// Cells of the unit table. column_index counts from 0; the lines print it + 1, except the
// length line, which prints it as it is.
void text_too_long(Console& out, std::int64_t row, int column_index, std::string_view name,
                   std::string_view value, int declared_size);
void directory_missing(Console& out, std::int64_t row, int column_index, std::string_view value);
void cockpit_missing(Console& out, std::int64_t row, int column_index, std::string_view value);
void mesh_missing(Console& out, std::int64_t row, int column_index, std::string_view name,
                  std::string_view value);
void not_boolean(Console& out, std::int64_t row, int column_index, std::string_view name,
                 std::string_view value);
void not_float(Console& out, std::int64_t row, int column_index, std::string_view name,
               std::string_view value);
void float_conversion(Console& out, std::int64_t row, int column_index, std::string_view name,
                      std::string_view value, int error_position);
void not_integer(Console& out, std::int64_t row, int column_index, std::string_view name,
                 std::string_view value);
void integer_conversion(Console& out, std::int64_t row, int column_index, std::string_view name,
                        std::string_view value, int error_position);

// Rows of the unit table.
void too_many_fields(Console& out, std::int64_t row);
void too_few_fields(Console& out, int expected, int cell_count);

// Nested lists. position is that of the semicolon or brace that ended the value.
void unclosed_group(Console& out, std::int64_t row, std::string_view table, int offset);
void too_many_values(Console& out, std::int64_t row, std::string_view table);
void nested_text_too_long(Console& out, std::int64_t row, std::string_view table,
                          std::string_view field, int data_size, int length);
void category_not_found(Console& out, std::int64_t row, std::string_view table,
                        std::string_view field, std::string_view value);
void cargo_part_not_found(Console& out, std::int64_t row, std::string_view table,
                          std::string_view field, std::string_view part, std::string_view value);
void nested_not_boolean(Console& out, std::int64_t row, std::string_view table,
                        std::string_view field, std::string_view value);
void nested_not_integer(Console& out, std::int64_t row, std::string_view table,
                        std::string_view field, std::string_view value);
void nested_integer_conversion(Console& out, std::int64_t row, std::string_view table,
                               std::string_view field, std::string_view value, int error_position,
                               int position);
void nested_not_float(Console& out, std::int64_t row, std::string_view table,
                      std::string_view field, std::string_view value);
void nested_float_conversion(Console& out, std::int64_t row, std::string_view table,
                             std::string_view field, std::string_view value, int error_position,
                             int position);

}  // namespace messages
}  // namespace unitcheck
