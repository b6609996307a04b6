#include "lint/lint_messages.h"

#include <algorithm>

#include "lint/shown_value.h"
#include "lint/text_cursor.h"
#include "lint/visible_text.h"
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

// The message of a finding of a cell; message is empty before.
void cell_message(const Finding& f, std::string_view suggestion, std::string& message) {
  Words words(message);
  words(f.column)(": ");
  switch (f.kind) {
    case FindingKind::TextTooLong:
      words.quoted(f.value)(" is ").count(f.length, "byte")(" long; the column holds at most ");
      words.number(f.limit);
      break;
    case FindingKind::DirectoryMissing:
      words.quoted(f.value)(" is not a directory in units/").did_you_mean(suggestion);
      break;
    case FindingKind::CockpitMissing:
      words.quoted(f.value)(" is not a directory in cockpits/").did_you_mean(suggestion);
      break;
    case FindingKind::MeshMissing:
      words("file ").quoted(f.value)(" is neither in the unit's directory nor in meshes/");
      words.did_you_mean(suggestion);
      break;
    case FindingKind::NotBoolean:
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

// The message of a finding in a nested list; message is empty before. group_fields: the fields
// of a group; suggests_part: cargo's suggestion is a part name rather than a category.
void nested_message(const Finding& f, std::string_view suggestion, std::int64_t group_fields,
                    bool suggests_part, std::string& message) {
  Words words(message);
  words(f.column)(": ");
  // "table.field " before a value's message.
  const auto subject = [&]() -> Words& { return words(f.table)(".")(f.field)(" "); };
  switch (f.kind) {
    case FindingKind::UnclosedGroup:
      words("a \"{\" opens a group of ")(f.table)(" while the one before is not closed with \"}\"");
      break;
    case FindingKind::TooManyValues:
      words("a group of ")(f.table)(" holds more values than its ").count(group_fields, "field");
      break;
    case FindingKind::NestedTextTooLong:
      subject().quoted(f.value)(" is ").count(f.length, "byte")(" long; the field holds at most ");
      words.number(f.limit - 1);
      break;
    case FindingKind::CategoryNotFound:
      subject().quoted(f.value)(" is not a category of master_part_list.csv");
      words.did_you_mean(suggestion);
      break;
    case FindingKind::CargoPartNotFound:
      words("neither the part ").quoted(f.part)(" nor the category ").quoted(f.value);
      words(" is in master_part_list.csv");
      if (!suggestion.empty())
        words(suggests_part ? "; did you mean the part " : "; did you mean the category ")
            .quoted(suggestion)("?");
      break;
    case FindingKind::NestedNotBoolean:
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

// The words of a wrong cell count's cause, after the line's message.
void cause_words(const LintFinding& f, std::string& message) {
  const LineCause& cause = f.cause;
  if (cause.kind == LineCause::Kind::DecimalComma) {
    message += "; " + std::string(cause.column) + ": " + quoted(cause.text) +
               " looks like a number with a decimal comma, which cuts it into two cells" +
               did_you_mean(f.suggestion);
  } else if (cause.kind == LineCause::Kind::MissingComma) {
    const std::string where = cause.first_column.empty()
                                  ? std::string("in or after ")
                                  : "between " + std::string(cause.first_column) + " and ";
    message += "; a comma seems to be missing " + where + std::string(cause.column) + " (" +
               quoted(cause.text) + "), which moves every later cell one column back";
    if (!cause.next_column.empty())
      message += ": " + std::string(cause.next_column) + " gets no cell of its own";
  }
}

// The values past the last field of one group, worded as one finding.
void extra_values_message(const LintFinding& f, std::string& message) {
  message.clear();
  Words words(message);
  words(f.source->column)(": a group of ")(f.source->table)(" holds ").count(f.extra_values,
                                                                             "value");
  words(" more than its ").count(f.group_fields, "field");
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

void word(LintFinding& finding) {
  std::string& message = finding.message;
  message.clear();
  switch (finding.origin) {
    case Origin::Header:
      message = header_message(finding.header);
      break;
    case Origin::Run:
      message = finding.keyless > 0
                    ? "no unit was checked: every one of the table's " +
                          count_of(finding.keyless, "unit line") + " has an empty key"
                    : "no unit was checked: the table holds no unit line after its header";
      break;
    case Origin::UnitTable: {
      const Finding& f = *finding.source;
      if (is_line_finding(f.kind)) {
        message = line_message(f);
        cause_words(finding, message);
      } else if (finding.extra_values > 1) {
        extra_values_message(finding, message);
      } else if (is_nested(f.kind)) {
        nested_message(f, finding.suggestion, finding.group_fields, finding.suggests_part, message);
      } else {
        cell_message(f, finding.suggestion, message);
      }
      break;
    }
  }
  for (LintFinding& note : finding.notes) word(note);
}

std::string summary_line(std::int64_t errors, std::int64_t warnings, std::int64_t rows,
                         std::string_view path) {
  return count_of(errors, "error") + ", " + count_of(warnings, "warning") + " in " +
         count_of(rows, "row") + " of " + std::string(path);
}

}  // namespace unitcheck::lint
