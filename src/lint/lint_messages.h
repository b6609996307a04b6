#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "lint/lint_finding.h"

namespace unitcheck::lint {

// The second of unitlint's three steps (enrich, word, format): the message of an enriched
// finding and of its notes, in plain words, from the finding's facts alone. Every message
// unitlint prints is worded in this file.
void word(LintFinding& finding);

// "3 errors, 1 warning in 2000 rows of PATH".
std::string summary_line(std::int64_t errors, std::int64_t warnings, std::int64_t rows,
                         std::string_view path);

// A value as messages show it: in double quotes, a quote as \", control bytes and bytes of no
// UTF-8 sequence as \xNN, and the C1, bidirectional and line-separating characters as
// \u{hhhh} (visible_text.h), so that a message stays one line, in order, whatever the value
// holds.
std::string quoted(std::string_view value);
// The text with its controls escaped as quoted() escapes them, quotes left as they are.
std::string without_controls(std::string_view text);
void append_without_controls(std::string& out, std::string_view text);

}  // namespace unitcheck::lint
