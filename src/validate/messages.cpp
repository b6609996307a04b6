#include "validate/messages.h"

#include "platform/console.h"

namespace unitcheck::messages {

namespace {

// "row R column C": the start of every cell line.
Console& cell(Console& out, std::int64_t row, int column) {
  return out.write("row ").write_int(row).write(" column ").write_int(column);
}

// "row R column C - name value": the start of the type-check lines of a cell.
Console& typed_cell(Console& out, std::int64_t row, int column_index, std::string_view name,
                    std::string_view value) {
  return cell(out, row, column_index + 1).write(" - ").write(name).write(" ").write(value);
}

// "row R - " or "row R ": the start of every nested-list line.
Console& nested(Console& out, std::int64_t row, std::string_view separator,
                std::string_view table) {
  return out.write("row ").write_int(row).write(separator).write(table);
}

constexpr std::string_view kQuote = "\"";

}  // namespace

void unknown_fields_heading(Console& out) {
  out.line("Unknown fields: ");
}
void unknown_field(Console& out, std::string_view name) {
  out.write(name).write("  ");
}
void no_unknown_fields(Console& out) {
  out.write(" .. None.");
}

void text_too_long(Console& out, std::int64_t row, int column_index, std::string_view name,
                   std::string_view value, int declared_size) {
  cell(out, row, column_index).write(name).write(" ").write(value);
  out.write(" is longer than expected (").write_int(static_cast<std::int64_t>(value.size()));
  out.write(">").write_int(declared_size).end_line();
}

void directory_missing(Console& out, std::int64_t row, int column_index, std::string_view value) {
  cell(out, row, column_index + 1).write(" Directory ").write(value);
  out.write(" directory does not exist.").end_line();
}

void cockpit_missing(Console& out, std::int64_t row, int column_index, std::string_view value) {
  cell(out, row, column_index + 1).write(" Cockpit ").write(value);
  out.write(" directory does not exist.").end_line();
}

void mesh_missing(Console& out, std::int64_t row, int column_index, std::string_view name,
                  std::string_view value) {
  cell(out, row, column_index + 1).write(" ").write(name).write(" ");
  out.write(kQuote).write(value).write(kQuote).write(" file not found").end_line();
}

void not_boolean(Console& out, std::int64_t row, int column_index, std::string_view name,
                 std::string_view value) {
  typed_cell(out, row, column_index, name, value).write(" <> Boolean?").end_line();
}

void not_float(Console& out, std::int64_t row, int column_index, std::string_view name,
               std::string_view value) {
  typed_cell(out, row, column_index, name, value).write("<> Float?").end_line();
}

void float_conversion(Console& out, std::int64_t row, int column_index, std::string_view name,
                      std::string_view value, int error_position) {
  typed_cell(out, row, column_index, name, value)
      .write("float conversion error offset")
      .write_int(error_position)
      .end_line();
}

void not_integer(Console& out, std::int64_t row, int column_index, std::string_view name,
                 std::string_view value) {
  typed_cell(out, row, column_index, name, value).write("<> Integer?").end_line();
}

void integer_conversion(Console& out, std::int64_t row, int column_index, std::string_view name,
                        std::string_view value, int error_position) {
  typed_cell(out, row, column_index, name, value)
      .write("int conversion error offset")
      .write_int(error_position)
      .end_line();
}

void too_many_fields(Console& out, std::int64_t row) {
  out.write("Too Many fields: Row ").write_int(row).end_line();
}

void too_few_fields(Console& out, int expected, int cell_count) {
  out.write("Fields Error, Expected ").write_int(expected).write(" got ").write_int(cell_count);
  out.end_line();
}

void unclosed_group(Console& out, std::int64_t row, std::string_view table, int offset) {
  nested(out, row, " - ", table).write(" subquery: unclosed. Data offset: ").write_int(offset);
  out.end_line();
}

void too_many_values(Console& out, std::int64_t row, std::string_view table) {
  nested(out, row, " - ", table).write(" subquery: field count exceeds known.").end_line();
}

void nested_text_too_long(Console& out, std::int64_t row, std::string_view table,
                          std::string_view field, int data_size, int length) {
  nested(out, row, " ", table).write(" ").write(field).write(" - max avail: ");
  out.write_int(data_size).write(" actual: ").write_int(length).end_line();
}

void category_not_found(Console& out, std::int64_t row, std::string_view table,
                        std::string_view field, std::string_view value) {
  nested(out, row, " ", table).write(" ").write(field).write(" ").write(value);
  out.write(" not found in master part list").end_line();
}

void cargo_part_not_found(Console& out, std::int64_t row, std::string_view table,
                          std::string_view field, std::string_view part, std::string_view value) {
  nested(out, row, " ", table).write(" ").write(field).write(" ").write(part).write(" - ");
  out.write(value).write(" not found in master part list").end_line();
}

void nested_not_boolean(Console& out, std::int64_t row, std::string_view table,
                        std::string_view field, std::string_view value) {
  nested(out, row, " ", table).write(" ").write(field).write(" ").write(value);
  out.write(" not known boolean value (range of 0..1 expected).").end_line();
}

void nested_not_integer(Console& out, std::int64_t row, std::string_view table,
                        std::string_view field, std::string_view value) {
  nested(out, row, " ", table).write(".").write(field).write(" ");
  out.write(kQuote).write(value).write(kQuote).write(" doesn't seem to be an integer.").end_line();
}

void nested_integer_conversion(Console& out, std::int64_t row, std::string_view table,
                               std::string_view field, std::string_view value, int error_position,
                               int position) {
  nested(out, row, " ", table).write(".").write(field).write(" ");
  out.write(kQuote).write(value).write(kQuote).write(" Int conversion of ");
  out.write(kQuote).write(value).write(kQuote).write(" fails offset ").write_int(error_position);
  out.write(" strpos ").write_int(position).end_line();
}

void nested_not_float(Console& out, std::int64_t row, std::string_view table,
                      std::string_view field, std::string_view value) {
  nested(out, row, " ", table).write(".").write(field).write(" ");
  out.write(kQuote).write(value).write(kQuote).write(" doesn't seem to be a float.").end_line();
}

void nested_float_conversion(Console& out, std::int64_t row, std::string_view table,
                             std::string_view field, std::string_view value, int error_position,
                             int position) {
  nested(out, row, " ", table).write(" ").write(field).write(" ").write(value);
  out.write(" Float conversion of ").write(kQuote).write(value).write(kQuote);
  out.write(" fails offset ").write_int(error_position);
  out.write(" strpos ").write_int(position).end_line();
}

}  // namespace unitcheck::messages
