#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "lint/folder_listings.h"
#include "lint/header_checks.h"
#include "lint/lint_finding.h"
#include "lint/suggestions.h"
#include "validate/column_plan.h"
#include "validate/finding.h"

namespace unitcheck::lint {

// What messages draw their hints from: the names offered as "did you mean" for findings that
// name something missing, and the header's columns. Anything may be empty (then nothing is
// offered). Read-only while findings are described, from any thread.
struct SuggestionLists {
  NameIndex categories;        // categories of the part list
  NameIndex part_names;        // part names of the part list
  NameIndex unit_directories;  // entries of units/
  NameIndex cockpits;          // entries of cockpits/
  NameIndex meshes;            // entries of meshes/
  // A unit's own directory, listed when a file in it is missing; listed anew each time when null.
  FolderListings* unit_folders = nullptr;
  std::span<const ColumnPlan> columns;  // the header's columns, by index
};

// Every message unitlint prints, worded in one place.
LintFinding describe(const Finding& finding, const SuggestionLists& names);
// The same into out, whose message's room is reused.
void describe(const Finding& finding, const SuggestionLists& names, LintFinding& out);
LintFinding describe(const HeaderFinding& finding);
// A run that checked no unit line, of which keyless were passed over for their empty key.
LintFinding describe_no_units_checked(std::int64_t keyless);
// The values past the last field of one group as one finding: first is the first of them, values
// how many there are, end_offset the line offset just past the last; out is first described.
void describe_extra_values(const Finding& first, std::int64_t values, std::int64_t end_offset,
                           LintFinding& out);

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
