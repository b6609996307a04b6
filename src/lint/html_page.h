#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lint/format.h"

namespace unitcheck::lint {

// What the page says of its run beside the findings: texts as given, escaped by the page.
struct PageFacts {
  std::string data_directory;
  std::string unit_table;
  std::string part_list;
  bool char_columns = false;  // columns are counted in characters (--columns characters)
};

// The findings of one rule that a page lists, and how many it had.
struct RuleListing {
  std::int64_t findings = 0;      // notes not included
  std::int64_t notes = 0;         // findings of the rule reported as another's notes
  std::int64_t first_line = 0;    // the lowest line of its findings (0: none on a line)
  std::vector<std::string> rows;  // <tr> elements (the finding's, then its notes'), listed
};

// A unit line and its findings, for the list of the units with the most.
struct UnitTally {
  std::int64_t line = 0;
  std::string key;            // escaped
  std::string name;           // escaped
  std::int64_t findings = 0;  // notes included
  // Links to its listed findings: the rule and the anchor number ("f12").
  std::vector<std::pair<Rule, std::int64_t>> links;
};

// Everything a page shows.
struct PageContent {
  const Summary& summary;
  const PageFacts& facts;
  const std::array<RuleListing, kRuleCount>& rules;
  const std::vector<UnitTally>& units;  // the most findings first
  std::int64_t listed_per_rule;         // the caps, said beside a rule's unlisted findings
  std::int64_t listed_in_all;
  std::int64_t listed_surely;
};

// The whole HTML document: self-contained, no script, nothing loaded from elsewhere.
std::string html_page(const PageContent& content);

}  // namespace unitcheck::lint
