#include "lint/html_format.h"

#include <algorithm>
#include <atomic>

#include "csv/split_unit_row.h"
#include "lint/html_text.h"
#include "lint/shown_value.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

// A cell is shown from the comma before the marked value to the comma after it, at most this
// many bytes either side: enough to see the value in its place, never a whole long cell.
constexpr std::size_t kContextBytes = 60;
// The key and the name are looked for in a line's first bytes only: a finding costs a short
// walk whatever the line's length.
constexpr std::size_t kUnitCellsBytes = 512;

bool is_continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The cell index of the header's "Name" column, or -1. Header columns are cut at every comma.
std::int64_t name_column_of(std::string_view header) {
  std::int64_t index = 0;
  std::size_t start = 0;
  while (start <= header.size()) {
    const std::size_t end = std::min(header.find(',', start), header.size());
    if (header.substr(start, end - start) == "Name") return index;
    start = end + 1;
    ++index;
  }
  return -1;
}

struct UnitCells {
  std::string_view key;
  std::string_view name;
  // Cut by the window of the line's first bytes: the cell goes on past it.
  bool key_cut = false;
  bool name_cut = false;
};

// The key (cell 0) and the name (cell name_column) of a unit line, as far as its first bytes
// hold them.
UnitCells unit_cells(std::string_view line, std::int64_t name_column) {
  UnitCells cells;
  const bool window_cut = line.size() > kUnitCellsBytes;
  line = line.substr(0, kUnitCellsBytes);
  if (line.empty()) return cells;
  // The splitter takes no line that begins with a comma: the key is then empty.
  std::int64_t shift = 0;
  if (line.front() == ',') {
    line.remove_prefix(1);
    shift = 1;
    if (line.empty()) return cells;
  }
  const int limit = static_cast<int>(std::max<std::int64_t>(name_column, 0) + 1);
  const auto cut = [&](std::string_view cell) {
    return window_cut && cell.data() + cell.size() == line.data() + line.size();
  };
  split_unit_row(line, limit, [&](int index, std::string_view cell) {
    if (index + shift == 0) {
      cells.key = cell;
      cells.key_cut = cut(cell);
    }
    if (index + shift == name_column) {
      cells.name = cell;
      cells.name_cut = cut(cell);
    }
  });
  return cells;
}

// A key or a name as shown: its first 200 bytes, and … when it goes on.
void append_shown(std::string& out, std::string_view text, bool cut) {
  const std::string_view shown = shown_value(text);
  append_html(out, shown);
  if (cut || shown.size() < text.size()) out.append("\u2026");
}

// The finding's place in its cell, the value marked: "…before<mark>value</mark>after…".
void append_marked_cell(std::string& out, const LintFinding& finding) {
  // A column the header lacks has no cell to show: its place is the header's start.
  if (finding.rule == Rule::MissingColumn) {
    out.append("<span class=\"more\">not in the header</span>");
    return;
  }
  const std::string_view line = finding.line_text;
  if (line.data() == nullptr) {
    out.append("<mark>");
    append_html(out, shown_value(finding.value));
    out.append("</mark>");
    return;
  }
  const std::size_t begin = std::min<std::size_t>(finding.column - 1, line.size());
  const std::size_t end = std::clamp<std::size_t>(finding.end_column - 1, begin, line.size());
  std::size_t from = begin;
  while (from > 0 && begin - from < kContextBytes && line[from - 1] != ',') --from;
  while (from < begin && is_continuation(line[from])) ++from;
  // Both searches stop within their bound: a finding costs no walk to the end of a long cell.
  const std::string_view after = line.substr(end);
  std::size_t to = std::min(after.substr(0, kContextBytes + 1).find(','), after.size());
  const bool cut_after = to > kContextBytes;
  if (cut_after) to = utf8_prefix_length(after, kContextBytes);

  out.append("<code>");
  if (from > 0 && line[from - 1] != ',') out.append("\u2026");
  append_html(out, line.substr(from, begin - from));
  const std::string_view value = line.substr(begin, end - begin);
  // An empty range still shows where it lies, and says what is there: nothing, or the line's
  // end where cells are missing.
  if (value.empty())
    out.append(finding.rule == Rule::TooFewCells ? "<mark class=\"empty\">(end of line)"
                                                 : "<mark class=\"empty\">(empty)");
  else
    out.append("<mark>");
  append_html(out, shown_value(value));
  if (shown_value(value).size() < value.size()) out.append("\u2026");
  out.append("</mark>");
  append_html(out, after.substr(0, to));
  if (cut_after) out.append("\u2026");
  out.append("</code>");
}

// The column's name, the nested table.field (the table alone where the finding is of a whole
// group, as a group of too many values), and the column number, in bytes or characters.
void append_place(std::string& out, const LintFinding& finding, bool char_columns) {
  append_html(out, finding.unit_column);
  if (!finding.table.empty()) {
    out.append("<span class=\"sub\">");
    append_html(out, finding.table);
    if (!finding.field.empty()) append_html(out.append("."), finding.field);
    out.append("</span>");
  }
  append_int(out.append("<span class=\"col\">col "),
             char_columns ? finding.char_column : finding.column);
  out.append("</span>");
}

// The cells of a finding's row after its line and unit.
void append_finding_cells(std::string& out, const LintFinding& finding, bool char_columns) {
  out.append("<td class=\"place\">");
  append_place(out, finding, char_columns);
  out.append("</td><td class=\"cell\">");
  append_marked_cell(out, finding);
  out.append("</td><td class=\"msg\">");
  // The message says the suggestion too ("did you mean").
  append_html(out, finding.message);
  out.append("</td>");
}

class HtmlFormat final : public Format {
 public:
  explicit HtmlFormat(bool char_columns) : char_columns_(char_columns) {}
  std::string begin() const override { return {}; }
  bool wants_char_columns() const override { return char_columns_; }
  std::string written_path(std::string_view path) const override { return html_text(path); }

  void header_read(std::string_view header_line) const override {
    name_column_.store(name_column_of(header_line), std::memory_order_relaxed);
  }

  void item(const LintFinding& finding, std::string_view, std::string& text) const override {
    const UnitCells unit =
        finding.line == 1
            ? UnitCells{}
            : unit_cells(finding.line_text, name_column_.load(std::memory_order_relaxed));
    text.push_back(kRecordStart);
    append_int(text, static_cast<std::int64_t>(finding.rule));
    append_int(text.append(1, kRecordField), static_cast<std::int64_t>(finding.severity));
    append_int(text.append(1, kRecordField), finding.line);
    text.push_back(kRecordField);
    append_shown(text, unit.key, unit.key_cut);
    text.push_back(kRecordField);
    append_shown(text, unit.name, unit.name_cut);
    text.push_back(kRecordField);
    for (const LintFinding& note : finding.notes)
      text.push_back(static_cast<char>('A' + static_cast<int>(note.rule)));
    text.push_back(kRecordField);
    append_int(text.append("<td class=\"line\">"), finding.line);
    text.append("</td><td class=\"unit\">");
    if (finding.line == 1)
      text.append("<span class=\"name\">the header</span>");
    else
      append_unit(text, unit);
    text.append("</td>");
    append_finding_cells(text, finding, char_columns_);
    text.push_back(kRecordField);
    for (const LintFinding& note : finding.notes) {
      append_int(text.append("<tr class=\"note\"><td class=\"line\">"), note.line);
      text.append("</td><td class=\"unit\"><span class=\"sev note\">\u2139 note</span> <code>");
      text.append(rule_info(note.rule).id);
      text.append("</code></td>");
      append_finding_cells(text, note, char_columns_);
      text.append("</tr>");
    }
  }

  std::string end(const Summary&) const override { return {}; }

 private:
  static void append_unit(std::string& out, const UnitCells& unit) {
    append_shown(out, unit.key, unit.key_cut);
    if (unit.name.empty()) return;
    out.append("<span class=\"name\">");
    append_shown(out, unit.name, unit.name_cut);
    out.append("</span>");
  }

  const bool char_columns_;

  // Told once, before the checking threads start.
  mutable std::atomic<std::int64_t> name_column_{-1};
};

// Reads a decimal number that the format wrote.
bool read_number(std::string_view text, std::int64_t& number) {
  if (text.empty() || text.size() > 18) return false;
  number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return true;
}

}  // namespace

bool parse_html_record(std::string_view text, HtmlRecord& record) {
  std::string_view fields[8];
  for (std::size_t i = 0; i < 8; ++i) {
    const std::size_t end = i == 7 ? text.size() : text.find(kRecordField);
    if (end == std::string_view::npos) return false;
    fields[i] = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  std::int64_t rule = 0;
  std::int64_t severity = 0;
  if (!read_number(fields[0], rule) || rule >= static_cast<std::int64_t>(kRuleCount) ||
      !read_number(fields[1], severity) || severity > 2 || !read_number(fields[2], record.line))
    return false;
  record.rule = static_cast<Rule>(rule);
  record.severity = static_cast<Severity>(severity);
  record.key = fields[3];
  record.name = fields[4];
  record.note_rules = fields[5];
  record.cells = fields[6];
  record.note_rows = fields[7];
  return true;
}

std::unique_ptr<Format> make_html_format(bool char_columns) {
  return std::make_unique<HtmlFormat>(char_columns);
}

}  // namespace unitcheck::lint
