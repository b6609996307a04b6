#include "lint/enrich.h"

#include <optional>
#include <string>

#include "lint/decimal_comma.h"
#include "lint/suggestions.h"
#include "lint/utf8.h"
#include "tables/schemas.h"

namespace unitcheck::lint {

namespace {

// The fields of the finding's group, from the schema of its table.
std::int64_t group_fields(const Finding& f) {
  const TableSchema* table = find_table_schema(f.table);
  return table != nullptr ? static_cast<std::int64_t>(table->columns.size()) : f.limit;
}

// "1" or "0" for a value that is, or nearly is, a boolean word of the unit table's cells.
std::string nested_boolean_suggestion(std::string_view value) {
  std::string_view word = closest_boolean_word(value);
  if (word.empty() && (value == "TRUE" || value == "true" || value == "FALSE" || value == "false"))
    word = value;
  if (word.empty()) return {};
  return word[0] == 't' || word[0] == 'T' ? "1" : "0";
}

// The 1-based byte column of text in line, when text is a view into it; 0 when it is not.
std::int64_t column_in(std::string_view line, std::string_view text) {
  if (line.data() == nullptr || text.data() < line.data() ||
      text.data() + text.size() > line.data() + line.size())
    return 0;
  return (text.data() - line.data()) + 1;
}

// Whether a suggestion can be written into the document as a fix: an editor, and every JSON
// reader, takes text as UTF-8, and a name of other bytes (a folder named in another encoding)
// would arrive as U+FFFD, which mends nothing. The message still shows it, escaped.
bool can_be_written(std::string_view suggestion) {
  return !suggestion.empty() && is_valid_utf8(suggestion);
}

// The suggestion in place of the finding's own range.
void fix_in_place(LintFinding& out) {
  if (!can_be_written(out.suggestion)) return;
  out.fix = Fix{out.column, out.end_column, out.suggestion};
}

// The suggestion of a finding of a cell or of a nested value, and its fix.
void suggest(const Finding& f, const SuggestionSource* source, LintFinding& out) {
  const auto ask = [source](auto question) {
    return source != nullptr ? question() : std::string();
  };
  switch (f.kind) {
    case FindingKind::DirectoryMissing:
      out.suggestion = ask([&] { return source->unit_directory(f.value); });
      break;
    case FindingKind::CockpitMissing:
      out.suggestion = ask([&] { return source->cockpit(f.value); });
      break;
    case FindingKind::MeshMissing:
      out.suggestion = ask([&] { return source->mesh(f.value, f.folder); });
      break;
    case FindingKind::NotBoolean:
      out.suggestion = std::string(closest_boolean_word(f.value));
      break;
    case FindingKind::CategoryNotFound:
      out.suggestion = ask([&] { return source->category(f.value); });
      break;
    case FindingKind::NestedNotBoolean:
      out.suggestion = nested_boolean_suggestion(f.value);
      break;
    case FindingKind::CargoPartNotFound:
      // A category near the category, else a part near the part, which has a place of its own.
      out.suggestion = ask([&] { return source->category(f.value); });
      if (out.suggestion.empty()) {
        out.suggestion = ask([&] { return source->part_name(f.part); });
        out.suggests_part = !out.suggestion.empty();
        const std::int64_t part_column = column_in(f.line_text, f.part);
        if (out.suggests_part && part_column > 0 && can_be_written(out.suggestion))
          out.fix = Fix{part_column, part_column + static_cast<std::int64_t>(f.part.size()),
                        out.suggestion};
        return;
      }
      break;
    default:
      return;
  }
  fix_in_place(out);
}

// A line with too many cells where a decimal comma seems to be the cause: the finding points at
// the number, and its fix puts a point in the comma's place.
void trace_decimal_comma(const Finding& f, std::span<const ColumnPlan> columns, LintFinding& out) {
  const std::optional<DecimalComma> comma = find_decimal_comma(f.value, columns);
  if (!comma) return;
  const std::string_view column = columns[static_cast<std::size_t>(comma->cell)].name;
  out.cause = LineCause{LineCause::Kind::DecimalComma, column, comma->text, {}, {}};
  out.suggestion = std::string(comma->text);
  out.suggestion[out.suggestion.find(',')] = '.';
  out.column = comma->offset + 1;
  out.end_column = out.column + static_cast<std::int64_t>(comma->text.size());
  out.unit_column = column;
  out.value = comma->text;
  out.moved_from_cell = comma->cell + 1;
  fix_in_place(out);
}

// A line with one cell too few where a missing comma seems to be the cause: the finding points
// at the cell that holds two values.
void trace_missing_comma(const Finding& f, std::span<const ColumnPlan> columns, LintFinding& out) {
  const std::optional<MissingComma> missing = find_missing_comma(f.value, columns);
  if (!missing) return;
  const auto cell = static_cast<std::size_t>(missing->cell);
  LineCause& cause = out.cause;
  cause = LineCause{LineCause::Kind::MissingComma, columns[cell].name, missing->text, {}, {}};
  if (missing->first_cell < missing->cell)
    cause.first_column = columns[static_cast<std::size_t>(missing->first_cell)].name;
  else if (cell + 1 < columns.size())
    cause.next_column = columns[cell + 1].name;
  out.column = missing->offset + 1;
  out.end_column = out.column + static_cast<std::int64_t>(missing->text.size());
  out.unit_column = cause.column;
  out.value = missing->text;
  out.moved_from_cell = missing->cell;
}

// Where a finding lies: the cell, the nested value, or (for a line) the line's end.
void locate(const Finding& f, LintFinding& out) {
  const std::int64_t start = is_nested(f.kind) ? f.value_offset : f.cell_offset;
  out.column = start + 1;
  if (is_line_finding(f.kind)) {
    out.end_column = out.column;
  } else if (f.kind == FindingKind::UnclosedGroup) {
    out.end_column = out.column + 1;  // the brace
  } else {
    out.end_column = out.column + static_cast<std::int64_t>(f.value.size());
  }
}

}  // namespace

void enrich(const Finding& finding, const FindingContext& context, LintFinding& out) {
  out.message.clear();
  out.suggestion.clear();
  out.fix = Fix{};
  out.origin = Origin::UnitTable;
  out.source = &finding;
  out.rule = rule_for(finding.kind);
  out.severity = rule_info(out.rule).severity;
  out.file = finding.file;
  out.line = finding.line;
  locate(finding, out);
  out.unit_column = finding.column;
  out.table = finding.table;
  out.field = finding.field;
  out.value = finding.value;
  out.line_text = finding.line_text;
  out.moved_from_cell = -1;
  out.notes.clear();
  out.group_fields = finding.kind == FindingKind::TooManyValues ? group_fields(finding) : 0;
  out.extra_values = 1;
  out.suggests_part = false;
  out.cause = LineCause{};
  if (is_line_finding(finding.kind)) {
    // The line is no value of its own: a report shows where it lies, not all of it again.
    out.value = {};
    if (finding.kind == FindingKind::TooManyCells)
      trace_decimal_comma(finding, context.columns, out);
    if (finding.kind == FindingKind::TooFewCells)
      trace_missing_comma(finding, context.columns, out);
  } else {
    suggest(finding, context.suggestions, out);
  }
}

void enrich_extra_values(const Finding& first, std::int64_t values, std::int64_t end_offset,
                         LintFinding& out) {
  out.extra_values = values;
  out.end_column = end_offset + 1;
  out.value = first.line_text.substr(static_cast<std::size_t>(first.value_offset),
                                     static_cast<std::size_t>(end_offset - first.value_offset));
}

LintFinding enrich_no_units_checked(std::int64_t keyless) {
  LintFinding out;
  out.origin = Origin::Run;
  out.rule = Rule::NoUnitsChecked;
  out.severity = rule_info(out.rule).severity;
  out.line = 1;
  out.keyless = keyless;
  return out;
}

LintFinding enrich(const HeaderFinding& finding) {
  LintFinding out;
  out.origin = Origin::Header;
  out.header = finding;
  out.rule = rule_for(finding.problem);
  out.severity = rule_info(out.rule).severity;
  out.line = 1;
  out.column = finding.offset + 1;
  const bool names_a_cell = finding.column > 0;
  out.end_column = out.column + (names_a_cell ? static_cast<std::int64_t>(finding.name.size()) : 0);
  out.unit_column =
      finding.problem == HeaderProblem::MissingColumn ? finding.name : std::string_view{};
  if (names_a_cell) out.value = finding.name;
  out.suggestion = std::string(finding.meant);
  fix_in_place(out);
  return out;
}

}  // namespace unitcheck::lint
