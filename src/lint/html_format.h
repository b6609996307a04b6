#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "lint/format.h"

namespace unitcheck::lint {

// The HTML report is a page grouped by rule and by unit, so it cannot be written as the
// findings come. Its format renders each finding (with its notes) into one record of HTML
// pieces, on any thread; an HtmlReport, the Output the writer writes them to, keeps what the
// page lists and lays it out at the end. A record is
//   RS rule US severity US line US key US name US note-rules US cells US note-rows
// with RS = 0x1E and US = 0x1F: its pieces are escaped HTML, which holds no control byte.
inline constexpr char kRecordStart = '\x1e';
inline constexpr char kRecordField = '\x1f';

// One finding as its record holds it; the views point into the record.
struct HtmlRecord {
  Rule rule{};
  Severity severity = Severity::Error;
  std::int64_t line = 0;
  std::string_view key;         // the unit's key, escaped; empty on the header line
  std::string_view name;        // the unit's name, escaped
  std::string_view note_rules;  // the notes' rules, one byte each ('A' + the rule's index)
  std::string_view cells;       // the <td> cells of the finding's row
  std::string_view note_rows;   // a <tr> per note
};

// Reads one record (without its RS); false when it is not one.
bool parse_html_record(std::string_view text, HtmlRecord& record);

// Columns are counted in characters (code points) when char_columns, else in bytes, as the
// text form counts them.
std::unique_ptr<Format> make_html_format(bool char_columns);

}  // namespace unitcheck::lint
