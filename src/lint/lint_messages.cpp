#include "lint/lint_messages.h"

#include <algorithm>

#include "lint/decimal_comma.h"
#include "lint/folder_listings.h"
#include "lint/shown_value.h"
#include "lint/suggestions.h"
#include "lint/text_cursor.h"
#include "lint/visible_text.h"
#include "tables/schemas.h"
#include "validate/char_sets.h"
#include "validate/path_bounds.h"

namespace unitcheck::lint {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool is_control(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}

// "\xhh".
struct HexEscape {
  explicit HexEscape(char c)
      : text{'\\', 'x', kHexDigits[static_cast<unsigned char>(c) >> 4],
             kHexDigits[static_cast<unsigned char>(c) & 15]} {}
  std::string_view view() const { return {text, sizeof text}; }
  char text[4];
};

// Calls put with text in pieces, as put_visible writes it: a message shows a mod's text on one
// line, and nothing in it reaches the reader's terminal or log as a control.
template <class Put>
void escape(std::string_view text, bool quotes, Put&& put) {
  put_visible(text, quotes, put);
}

void append_escaped(std::string& out, std::string_view text, bool quotes) {
  escape(text, quotes, [&out](std::string_view piece) { out.append(piece); });
}

// A message written onto one string through a cursor: a typical message costs no allocation
// (the string is the checking thread's scratch) and no call per piece.
class Words : private TextCursor {
 public:
  explicit Words(std::string& text) : TextCursor(text) {}

  Words& operator()(std::string_view words) {
    put(words);
    return *this;
  }
  // In double quotes, as quoted() writes it.
  Words& quoted(std::string_view value);
  Words& number(std::int64_t value) {
    put_number(value);
    return *this;
  }
  // With a comma between each three digits: "4,812".
  Words& grouped(std::int64_t value);
  // "3 errors", "1 error".
  Words& count(std::int64_t count, std::string_view noun) {
    number(count)(" ")(noun);
    return count != 1 ? (*this)("s") : *this;
  }
  // The byte at a 1-based position, as "byte 3 ('x')".
  Words& byte_at(std::string_view value, std::int64_t position);
  // Why characters that all belong to a number do not make one: where the conversion stopped.
  Words& conversion_detail(std::string_view value, std::int64_t error_position, bool integer);
  Words& did_you_mean(std::string_view suggestion) {
    if (suggestion.empty()) return *this;
    return (*this)("; did you mean ").quoted(suggestion)("?");
  }

  // The endings of the number messages, shared by cells and nested values.
  Words& not_float(std::string_view value);
  Words& float_syntax(const Finding& f);
  Words& not_integer(std::string_view value);
  Words& integer_syntax(const Finding& f, std::string_view bits);
};

// The 1-based position of the first byte outside set (the value has one).
std::int64_t first_outside(std::string_view value, const CharSet& set) {
  const auto it =
      std::find_if(value.begin(), value.end(), [&](char c) { return !set.contains(c); });
  return (it - value.begin()) + 1;
}

Words& Words::quoted(std::string_view value) {
  const std::string_view shown = shown_value(value);
  put('"');
  escape(shown, true, [this](std::string_view piece) { put(piece); });
  put('"');
  if (shown.size() == value.size()) return *this;
  put("... (");
  return grouped(static_cast<std::int64_t>(value.size()))(" bytes)");
}

Words& Words::grouped(std::int64_t value) {
  if (value >= 1000) {
    grouped(value / 1000);
    const std::int64_t rest = value % 1000;
    put(',');
    if (rest < 100) put('0');
    if (rest < 10) put('0');
    return number(rest);
  }
  return number(value);
}

// How a path cell leaves the data directory, after the quoted cell.
std::string_view escape_words(std::int64_t escape) {
  switch (static_cast<PathEscape>(escape)) {
    case PathEscape::Absolute:
      return " is an absolute path; a mod names its files relative to its data directory";
    case PathEscape::Climbs:
      return " climbs above the data directory with \"..\"";
    case PathEscape::Linked:
    case PathEscape::None:
      break;
  }
  return " leads outside the data directory through a symbolic link";
}

Words& Words::byte_at(std::string_view value, std::int64_t position) {
  (*this)("byte ").number(position);
  if (position < 1 || position > static_cast<std::int64_t>(value.size())) return *this;
  const char c = value[static_cast<std::size_t>(position - 1)];
  put(" (");
  if (is_control(c) || c == '\'' || static_cast<unsigned char>(c) >= 0x80) {
    put(HexEscape(c).view());
  } else {
    const char quoted_byte[] = {'\'', c, '\''};
    put(quoted_byte, sizeof quoted_byte);
  }
  put(')');
  return *this;
}

Words& Words::conversion_detail(std::string_view value, std::int64_t error_position, bool integer) {
  const auto length = static_cast<std::int64_t>(value.size());
  const auto longest = static_cast<std::int64_t>(kLongestNumber);  // not converted past it
  if (length > longest) return (*this)("it is longer than ").number(longest)(" bytes");
  if (error_position < 1) return (*this)("it does not convert");
  if (error_position > length) return (*this)("it ends before the number is complete");
  const char c = value[static_cast<std::size_t>(error_position - 1)];
  if (integer && c >= '0' && c <= '9')
    return (*this)("it is out of range from ").byte_at(value, error_position);
  return (*this)("it breaks off at ").byte_at(value, error_position);
}

Words& Words::not_float(std::string_view value) {
  quoted(value)(" is not a floating-point number: ");
  return byte_at(value,
                 first_outside(value, float_chars))(" is not a digit, sign, point or exponent");
}

Words& Words::float_syntax(const Finding& f) {
  quoted(f.value)(" is not a floating-point number: ");
  return conversion_detail(f.value, f.error_position, false);
}

Words& Words::not_integer(std::string_view value) {
  quoted(value)(" is not an integer: ");
  return byte_at(value, first_outside(value, integer_chars))(" is not a digit or minus sign");
}

Words& Words::integer_syntax(const Finding& f, std::string_view bits) {
  quoted(f.value)(" is not a ")(bits)("-bit integer: ");
  return conversion_detail(f.value, f.error_position, true);
}

// The same as texts of their own, for the rarer messages.
std::string number(std::int64_t value) {
  std::string text;
  Words(text).number(value);
  return text;
}
std::string count_of(std::int64_t count, std::string_view noun) {
  std::string text;
  Words(text).count(count, noun);
  return text;
}
std::string did_you_mean(std::string_view suggestion) {
  std::string text;
  Words(text).did_you_mean(suggestion);
  return text;
}

int group_fields(const Finding& f) {
  const TableSchema* table = find_table_schema(f.table);
  return table != nullptr ? static_cast<int>(table->columns.size()) : static_cast<int>(f.limit);
}

// The name nearest a missing mesh file in the two folders searched for it: the unit's own
// directory, listed now (only a finding pays for it), and meshes/. The unit's wins a tie.
std::string mesh_suggestion(const Finding& f, const SuggestionLists& names) {
  std::string scratch;
  FolderListings listed_now(0, 0);
  FolderListings& listings = names.unit_folders != nullptr ? *names.unit_folders : listed_now;
  ClosestName closest_own(f.value, suggestion_bound(f.value.size()));
  for_each_entry(listings.entries(f.folder, scratch),
                 [&](std::string_view name) { closest_own.consider(name); });
  const std::string_view own = closest_own.best();
  const std::string_view shared = names.meshes.closest(f.value);
  if (own.empty() || shared.empty()) return std::string(own.empty() ? shared : own);
  const int bound = suggestion_bound(f.value.size());
  const bool shared_nearer =
      bounded_distance(f.value, shared, bound) < bounded_distance(f.value, own, bound);
  return std::string(shared_nearer ? shared : own);
}

// The message (and suggestion) of a finding of a cell; message is empty before.
void cell_message(const Finding& f, const SuggestionLists& names, std::string& message,
                  std::string& suggestion) {
  Words words(message);
  words(f.column)(": ");
  switch (f.kind) {
    case FindingKind::TextTooLong:
      words.quoted(f.value)(" is ").count(f.length, "byte")(" long; the column holds at most ");
      words.number(f.limit);
      break;
    case FindingKind::DirectoryMissing:
      suggestion = names.unit_directories.closest(f.value);
      words.quoted(f.value)(" is not a directory in units/").did_you_mean(suggestion);
      break;
    case FindingKind::CockpitMissing:
      suggestion = names.cockpits.closest(f.value);
      words.quoted(f.value)(" is not a directory in cockpits/").did_you_mean(suggestion);
      break;
    case FindingKind::MeshMissing:
      suggestion = mesh_suggestion(f, names);
      words("file ").quoted(f.value)(" is neither in the unit's directory nor in meshes/");
      words.did_you_mean(suggestion);
      break;
    case FindingKind::NotBoolean:
      suggestion = closest_boolean_word(f.value);
      words.quoted(f.value)(" is not a boolean (TRUE, true, FALSE, false, 1 or 0)");
      words.did_you_mean(suggestion);
      break;
    case FindingKind::NotFloat:
      words.not_float(f.value);
      break;
    case FindingKind::FloatConversion:
      words.float_syntax(f);
      break;
    case FindingKind::NotInteger:
      words.not_integer(f.value);
      break;
    case FindingKind::IntegerConversion:
      words.integer_syntax(f, "64");
      break;
    case FindingKind::PathOutsideData:
      words.quoted(f.value)(escape_words(f.limit));
      break;
    default:
      message.clear();
  }
}

std::string line_message(const Finding& f) {
  if (f.kind == FindingKind::EmptyKey)
    return "the line's first cell, the unit's key, is empty: the line names no unit and none of "
           "its cells is checked";
  if (f.kind == FindingKind::TooManyCells)
    return "the line has more cells than the " + number(f.limit) + " columns of the unit table";
  return "the line has " + count_of(f.cell, "cell") + "; a unit line has " + number(f.limit);
}

// The cargo item's suggestion: a category near the category, else a part near the part.
std::string cargo_suggestion(const Finding& f, const SuggestionLists& names, Words& words) {
  std::string_view near = names.categories.closest(f.value);
  if (!near.empty()) {
    words("; did you mean the category ").quoted(near)("?");
    return std::string(near);
  }
  near = names.part_names.closest(f.part);
  if (!near.empty()) words("; did you mean the part ").quoted(near)("?");
  return std::string(near);
}

// "1" or "0" for a value that is, or nearly is, a boolean word of the unit table's cells.
std::string nested_boolean_suggestion(std::string_view value) {
  std::string_view word = closest_boolean_word(value);
  if (word.empty() && (value == "TRUE" || value == "true" || value == "FALSE" || value == "false"))
    word = value;
  if (word.empty()) return {};
  return word[0] == 't' || word[0] == 'T' ? "1" : "0";
}

// The message (and suggestion) of a finding in a nested list; message is empty before.
void nested_message(const Finding& f, const SuggestionLists& names, std::string& message,
                    std::string& suggestion) {
  Words words(message);
  words(f.column)(": ");
  // "table.field " before a value's message.
  const auto subject = [&]() -> Words& { return words(f.table)(".")(f.field)(" "); };
  switch (f.kind) {
    case FindingKind::UnclosedGroup:
      words("a \"{\" opens a group of ")(f.table)(" while the one before is not closed with \"}\"");
      break;
    case FindingKind::TooManyValues:
      words("a group of ")(f.table)(" holds more values than its ").count(group_fields(f), "field");
      break;
    case FindingKind::NestedTextTooLong:
      subject().quoted(f.value)(" is ").count(f.length, "byte")(" long; the field holds at most ");
      words.number(f.limit - 1);
      break;
    case FindingKind::CategoryNotFound:
      suggestion = names.categories.closest(f.value);
      subject().quoted(f.value)(" is not a category of master_part_list.csv");
      words.did_you_mean(suggestion);
      break;
    case FindingKind::CargoPartNotFound:
      words("neither the part ").quoted(f.part)(" nor the category ").quoted(f.value);
      words(" is in master_part_list.csv");
      suggestion = cargo_suggestion(f, names, words);
      break;
    case FindingKind::NestedNotBoolean:
      suggestion = nested_boolean_suggestion(f.value);
      subject().quoted(f.value)(" is not 1, 0 or empty").did_you_mean(suggestion);
      break;
    case FindingKind::NestedNotInteger:
      subject().not_integer(f.value);
      break;
    case FindingKind::NestedIntegerConversion:
      subject().integer_syntax(f, "32");
      break;
    case FindingKind::NestedNotFloat:
      subject().not_float(f.value);
      break;
    case FindingKind::NestedFloatConversion:
      subject().float_syntax(f);
      break;
    case FindingKind::UnclosedLastGroup:
      words("the last group of ")(f.table)(
          " is not closed with \"}\"; its last value is not checked");
      break;
    default:
      message.clear();
  }
}

// A line with too many cells where a decimal comma seems to be the cause: the message says so
// and the finding points at the number.
void explain_decimal_comma(const Finding& f, std::span<const ColumnPlan> columns,
                           LintFinding& out) {
  const std::optional<DecimalComma> comma = find_decimal_comma(f.value, columns);
  if (!comma) return;
  const std::string_view column = columns[static_cast<std::size_t>(comma->cell)].name;
  out.suggestion = std::string(comma->text);
  out.suggestion[out.suggestion.find(',')] = '.';
  out.message += "; " + std::string(column) + ": " + quoted(comma->text) +
                 " looks like a number with a decimal comma, which cuts it into two cells" +
                 did_you_mean(out.suggestion);
  out.column = comma->offset + 1;
  out.end_column = out.column + static_cast<std::int64_t>(comma->text.size());
  out.unit_column = column;
  out.value = comma->text;
  out.moved_from_cell = comma->cell + 1;
}

// A line with one cell too few where a missing comma seems to be the cause: the message says
// where, and the finding points at the cell that holds two values.
void explain_missing_comma(const Finding& f, std::span<const ColumnPlan> columns,
                           LintFinding& out) {
  const std::optional<MissingComma> missing = find_missing_comma(f.value, columns);
  if (!missing) return;
  const auto cell = static_cast<std::size_t>(missing->cell);
  const std::string_view column = columns[cell].name;
  const std::string where =
      missing->first_cell < missing->cell
          ? "between " + std::string(columns[static_cast<std::size_t>(missing->first_cell)].name) +
                " and "
          : "in or after ";
  out.message += "; a comma seems to be missing " + where + std::string(column) + " (" +
                 quoted(missing->text) + "), which moves every later cell one column back";
  if (missing->first_cell == missing->cell && cell + 1 < columns.size())
    out.message += ": " + std::string(columns[cell + 1].name) + " gets no cell of its own";
  out.column = missing->offset + 1;
  out.end_column = out.column + static_cast<std::int64_t>(missing->text.size());
  out.unit_column = column;
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

std::string header_column(const HeaderFinding& f) {
  return "header column " + number(f.column) + ", " + quoted(f.name) + ",";
}

std::string header_message(const HeaderFinding& f) {
  switch (f.problem) {
    case HeaderProblem::WrongSeparator:
      return "the header has no comma but " +
             count_of(f.separators, f.separator == ';' ? "semicolon" : "tab") +
             "; units.csv is comma-separated";
    case HeaderProblem::NearMiss:
      return header_column(f) +
             " is not a column of the unit table (names match exactly, letter case included)" +
             did_you_mean(f.meant);
    case HeaderProblem::UnknownColumn:
      if (f.name.empty())
        return "header column " + number(f.column) + " has no name; its cells are not checked";
      return header_column(f) + " is not a column of the unit table; its cells are not checked";
    case HeaderProblem::MissingColumn:
      return "the header has no column " + quoted(f.name) + "; no cell of it is checked";
    case HeaderProblem::DuplicateColumn:
      return header_column(f) + " repeats header column " + number(f.first_column);
    case HeaderProblem::Unmapped:
      return "the header names " + number(f.named) + " of the unit table's " +
             count_of(f.columns, "column") + ", so almost no cell is checked" +
             (f.holds_values ? "; the first line holds values, not column names: the header and "
                               "type lines seem to be missing (copy them from the game's own "
                               "units.csv)"
                             : "; is this units.csv, with its header line first, comma-separated "
                               "and in UTF-8?");
    case HeaderProblem::NotUtf8:
      return "the file is saved as " + std::string(f.encoding) +
             ", so none of its cells can be checked; save the file as UTF-8";
  }
  return {};
}

}  // namespace

std::string quoted(std::string_view value) {
  std::string text;
  Words(text).quoted(value);
  return text;
}

std::string without_controls(std::string_view text) {
  std::string visible;
  append_without_controls(visible, text);
  return visible;
}

void append_without_controls(std::string& out, std::string_view text) {
  append_escaped(out, text, false);
}

LintFinding describe(const Finding& finding, const SuggestionLists& names) {
  LintFinding out;
  describe(finding, names, out);
  return out;
}

void describe(const Finding& finding, const SuggestionLists& names, LintFinding& out) {
  out.message.clear();
  out.suggestion.clear();
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
  if (is_line_finding(finding.kind)) {
    // The line is no value of its own: a report shows where it lies, not all of it again.
    out.value = {};
    out.message = line_message(finding);
    if (finding.kind == FindingKind::TooManyCells)
      explain_decimal_comma(finding, names.columns, out);
    if (finding.kind == FindingKind::TooFewCells)
      explain_missing_comma(finding, names.columns, out);
  } else if (is_nested(finding.kind)) {
    nested_message(finding, names, out.message, out.suggestion);
  } else {
    cell_message(finding, names, out.message, out.suggestion);
  }
}

void describe_extra_values(const Finding& first, std::int64_t values, std::int64_t end_offset,
                           LintFinding& out) {
  out.message.clear();
  Words words(out.message);
  words(first.column)(": a group of ")(first.table)(" holds ").count(values, "value");
  words(" more than its ").count(group_fields(first), "field");
  out.end_column = end_offset + 1;
  out.value = first.line_text.substr(static_cast<std::size_t>(first.value_offset),
                                     static_cast<std::size_t>(end_offset - first.value_offset));
}

LintFinding describe_no_units_checked(std::int64_t keyless) {
  LintFinding out;
  out.rule = Rule::NoUnitsChecked;
  out.severity = rule_info(out.rule).severity;
  out.line = 1;
  out.message = keyless > 0 ? "no unit was checked: every one of the table's " +
                                  count_of(keyless, "unit line") + " has an empty key"
                            : "no unit was checked: the table holds no unit line after its header";
  return out;
}

LintFinding describe(const HeaderFinding& finding) {
  LintFinding out;
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
  out.message = header_message(finding);
  return out;
}

std::string summary_line(std::int64_t errors, std::int64_t warnings, std::int64_t rows,
                         std::string_view path) {
  return count_of(errors, "error") + ", " + count_of(warnings, "warning") + " in " +
         count_of(rows, "row") + " of " + std::string(path);
}

}  // namespace unitcheck::lint
