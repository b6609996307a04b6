#include "driver/transcript.h"

#include "platform/console.h"
#include "validate/unit_header.h"

namespace unitcheck {

namespace {

constexpr std::string_view kQuote = "\"";

// "row R column C": the start of every cell line.
Console& cell(Console& out, const Finding& f, std::int64_t column) {
  return out.write("row ").write_int(f.line).write(" column ").write_int(column);
}

// "row R column C - name value": the start of the type-check lines of a cell. The column
// printed counts from 1.
Console& typed_cell(Console& out, const Finding& f) {
  return cell(out, f, f.cell + 1).write(" - ").write(f.column).write(" ").write(f.value);
}

// "row R - table" or "row R table": the start of every nested-list line.
Console& nested(Console& out, const Finding& f, std::string_view separator) {
  return out.write("row ").write_int(f.line).write(separator).write(f.table);
}

// "row R table field value" and "row R table.field "value"": the two starts of value lines.
Console& nested_value(Console& out, const Finding& f) {
  return nested(out, f, " ").write(" ").write(f.field).write(" ").write(f.value);
}
Console& nested_quoted(Console& out, const Finding& f) {
  nested(out, f, " ").write(".").write(f.field).write(" ");
  return out.write(kQuote).write(f.value).write(kQuote);
}

void render_line(Console& out, const Finding& f) {
  switch (f.kind) {
    // Cells of the unit table. The length line alone prints the column counted from 0.
    case FindingKind::TextTooLong:
      cell(out, f, f.cell).write(f.column).write(" ").write(f.value);
      out.write(" is longer than expected (").write_int(f.length).write(">").write_int(f.limit);
      break;
    case FindingKind::DirectoryMissing:
      cell(out, f, f.cell + 1).write(" Directory ").write(f.value);
      out.write(" directory does not exist.");
      break;
    case FindingKind::CockpitMissing:
      cell(out, f, f.cell + 1).write(" Cockpit ").write(f.value);
      out.write(" directory does not exist.");
      break;
    case FindingKind::MeshMissing:
      cell(out, f, f.cell + 1).write(" ").write(f.column).write(" ");
      out.write(kQuote).write(f.value).write(kQuote).write(" file not found");
      break;
    case FindingKind::NotBoolean:
      typed_cell(out, f).write(" <> Boolean?");
      break;
    case FindingKind::NotFloat:
      typed_cell(out, f).write("<> Float?");
      break;
    case FindingKind::FloatConversion:
      typed_cell(out, f).write("float conversion error offset").write_int(f.error_position);
      break;
    case FindingKind::NotInteger:
      typed_cell(out, f).write("<> Integer?");
      break;
    case FindingKind::IntegerConversion:
      typed_cell(out, f).write("int conversion error offset").write_int(f.error_position);
      break;
    // Rows of the unit table.
    case FindingKind::TooManyCells:
      out.write("Too Many fields: Row ").write_int(f.line);
      break;
    case FindingKind::TooFewCells:
      out.write("Fields Error, Expected ").write_int(f.limit).write(" got ").write_int(f.cell);
      break;
    // Nested lists. position is that of the semicolon or brace that ended the value.
    case FindingKind::UnclosedGroup:
      nested(out, f, " - ").write(" subquery: unclosed. Data offset: ").write_int(f.position);
      break;
    case FindingKind::TooManyValues:
      nested(out, f, " - ").write(" subquery: field count exceeds known.");
      break;
    case FindingKind::NestedTextTooLong:
      nested(out, f, " ").write(" ").write(f.field).write(" - max avail: ");
      out.write_int(f.limit).write(" actual: ").write_int(f.length);
      break;
    case FindingKind::CategoryNotFound:
      nested_value(out, f).write(" not found in master part list");
      break;
    case FindingKind::CargoPartNotFound:
      nested(out, f, " ").write(" ").write(f.field).write(" ").write(f.part).write(" - ");
      out.write(f.value).write(" not found in master part list");
      break;
    case FindingKind::NestedNotBoolean:
      nested_value(out, f).write(" not known boolean value (range of 0..1 expected).");
      break;
    case FindingKind::NestedNotInteger:
      nested_quoted(out, f).write(" doesn't seem to be an integer.");
      break;
    case FindingKind::NestedIntegerConversion:
      nested_quoted(out, f).write(" Int conversion of ");
      out.write(kQuote).write(f.value).write(kQuote).write(" fails offset ");
      out.write_int(f.error_position).write(" strpos ").write_int(f.position);
      break;
    case FindingKind::NestedNotFloat:
      nested_quoted(out, f).write(" doesn't seem to be a float.");
      break;
    case FindingKind::NestedFloatConversion:
      nested_value(out, f).write(" Float conversion of ").write(kQuote).write(f.value);
      out.write(kQuote).write(" fails offset ").write_int(f.error_position);
      out.write(" strpos ").write_int(f.position);
      break;
    case FindingKind::UnclosedLastGroup:
    case FindingKind::EmptyKey:
    case FindingKind::PathOutsideData:
      return;
  }
  out.end_line();
}

}  // namespace

void TranscriptWriter::render(const Finding& finding, std::string& text, RenderState&) const {
  if (!in_transcript(finding.kind)) return;
  Console out(text);
  render_line(out, finding);
}

void TranscriptWriter::write(std::string_view text) {
  console_.write_lines(text);
}

void write_unknown_fields(Console& console, const UnitHeader& header) {
  console.line("Unknown fields: ");
  bool any_unknown = false;
  header.for_each_column([&](const HeaderColumn& column) {
    if (column.known) return;
    any_unknown = true;
    console.write(header_column_name(column)).write("  ");
  });
  if (!any_unknown) console.write(" .. None.");
  console.end_line();
}

}  // namespace unitcheck
