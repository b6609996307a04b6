#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "lint/lint_finding.h"
#include "lint/rules.h"

namespace unitcheck::lint {

// What the writer reads of a rendered finding, in document order, to count it, judge it against
// the report's limits and keep it for a summary, without reading the finding's text.
//
// Rendering runs on the checking threads, a chunk's findings into one text; only the writing,
// in reading order, knows how many came before. So each rendered finding begins with a mark:
// a NUL, its severity as a digit, its rule and each note's rule as a letter, a \x01, a line
// attached for a summary (empty unless asked for), a \x01, then its text up to the next NUL. No
// format writes a NUL of its own (the data's control bytes are escaped in every one), and the
// attached line holds no control byte. An error of text-too-long with two notes and nothing
// attached: "\0" "0" "A" "JJ" "\x01" "\x01" "path:3:15: error: ...\n".
struct ItemMark {
  Severity severity = Severity::Error;
  Rule rule{};
  std::string_view note_rules;  // one letter per note
  std::string_view attached;
  std::string_view text;
};

inline char rule_letter(Rule rule) {
  return static_cast<char>('A' + static_cast<int>(rule));
}
inline Rule rule_of_letter(char letter) {
  return static_cast<Rule>(letter - 'A');
}
static_assert('A' + kRuleCount < 0x7f, "a rule's letter is printable ASCII");

// The mark of finding, before its text; attached is the line kept for a summary.
inline void put_mark(std::string& text, const LintFinding& finding, std::string_view attached) {
  text.push_back('\0');
  text.push_back(static_cast<char>('0' + static_cast<int>(finding.severity)));
  text.push_back(rule_letter(finding.rule));
  for (const LintFinding& note : finding.notes) text.push_back(rule_letter(note.rule));
  text.push_back('\x01');
  text.append(attached);
  text.push_back('\x01');
}

// Calls f(mark, marked) for each finding of text, whose items all begin with their marks;
// marked is the whole item, mark included.
template <class F>
void for_each_item(std::string_view text, F&& f) {
  while (text.size() >= 5 && text[0] == '\0') {
    ItemMark mark;
    mark.severity = static_cast<Severity>(text[1] - '0');
    mark.rule = rule_of_letter(text[2]);
    const std::size_t rules_end = text.find('\x01', 3);
    const std::size_t attached_end = text.find('\x01', rules_end + 1);
    const std::size_t end = std::min(text.find('\0', attached_end + 1), text.size());
    mark.note_rules = text.substr(3, rules_end - 3);
    mark.attached = text.substr(rules_end + 1, attached_end - rules_end - 1);
    mark.text = text.substr(attached_end + 1, end - attached_end - 1);
    f(mark, text.substr(0, end));
    text.remove_prefix(end);
  }
}

// The mark of one marked item.
inline ItemMark read_mark(std::string_view marked) {
  ItemMark mark;
  for_each_item(marked, [&mark](const ItemMark& read, std::string_view) { mark = read; });
  return mark;
}

}  // namespace unitcheck::lint
