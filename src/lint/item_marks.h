#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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
// fixed fields (MarkHead: its severity, its rule, and the lengths of what follows, as the
// machine holds them), each note's rule as a byte, a line attached for a summary (empty unless
// asked for), then its text. The writer finds every part from the lengths, without a search,
// so a text may hold any byte. Tested by the end-to-end cases of every format (whose counts and
// limits go through the marks) and by LintWriter's tests.
struct ItemMark {
  Severity severity = Severity::Error;
  Rule rule{};
  std::string_view note_rules;  // one byte per note: its rule
  std::string_view attached;
  std::string_view text;
};

inline char rule_byte(Rule rule) {
  return static_cast<char>(rule);
}
inline Rule rule_of_byte(char byte) {
  return static_cast<Rule>(static_cast<unsigned char>(byte));
}

// A mark's fixed fields, as they lie at its start.
struct MarkHead {
  Severity severity = Severity::Error;
  Rule rule{};
  std::uint8_t padding[2] = {};
  std::uint32_t notes = 0;     // the bytes of the notes' rules that follow
  std::uint32_t attached = 0;  // the bytes of the attached line that follow them
  std::uint64_t text = 0;      // the bytes of the finding's text that follow it
};
static_assert(sizeof(MarkHead) == 24, "a mark's head is packed as laid out");

// Where an item begins in a text, and where its own text after the mark does.
struct ItemStart {
  std::size_t mark = 0;
  std::size_t text = 0;
};

// Begins the item of finding in text with its mark; attached is the line kept for a summary.
// end_item ends it once the finding's text follows.
inline ItemStart begin_item(std::string& text, const LintFinding& finding,
                            std::string_view attached) {
  const std::size_t at = text.size();
  MarkHead head;
  head.severity = finding.severity;
  head.rule = finding.rule;
  head.notes = static_cast<std::uint32_t>(finding.notes.size());
  head.attached = static_cast<std::uint32_t>(attached.size());
  text.append(reinterpret_cast<const char*>(&head), sizeof head);
  for (const LintFinding& note : finding.notes) text.push_back(rule_byte(note.rule));
  text.append(attached);
  return {at, text.size()};
}

// Writes the length of the item's text, now that it follows its mark, into the mark.
inline void end_item(std::string& text, ItemStart start) {
  const std::uint64_t length = text.size() - start.text;
  std::memcpy(text.data() + start.mark + offsetof(MarkHead, text), &length, sizeof length);
}

// Calls f(mark, marked) for each finding of text, made of items that each begin with a mark;
// marked is the whole item, mark included.
template <class F>
void for_each_item(std::string_view text, F&& f) {
  while (text.size() >= sizeof(MarkHead)) {
    MarkHead head;
    std::memcpy(&head, text.data(), sizeof head);
    ItemMark mark;
    mark.severity = head.severity;
    mark.rule = head.rule;
    std::size_t at = sizeof head;
    mark.note_rules = text.substr(at, head.notes);
    at += head.notes;
    mark.attached = text.substr(at, head.attached);
    at += head.attached;
    mark.text = text.substr(at, static_cast<std::size_t>(head.text));
    at += mark.text.size();
    f(mark, text.substr(0, at));
    text.remove_prefix(at);
  }
}

// The mark of one marked item.
inline ItemMark read_mark(std::string_view marked) {
  ItemMark mark;
  for_each_item(marked, [&mark](const ItemMark& read, std::string_view) { mark = read; });
  return mark;
}

}  // namespace unitcheck::lint
