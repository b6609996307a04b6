#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lint/html_format.h"
#include "lint/html_page.h"
#include "lint/output.h"

namespace unitcheck::lint {

// Where the writer writes the HTML format's records, in document order: keeps what the page
// lists and counts the rest, then lays out the page. Its memory is bounded whatever the number
// of findings: at most kListedPerRule rows per rule and kListedInAll in all (each rule keeps
// room for its first kListedSurely, so that every rule shows examples), kTopUnits units. A
// table of 100,000 rows with a fault in one cell of a hundred gives a page of about 3 MB.
class HtmlReport final : public Output {
 public:
  // A rule's findings listed on the page; "and N more" says how many were not.
  static constexpr std::int64_t kListedPerRule = 1000;
  static constexpr std::int64_t kListedInAll = 5000;
  static constexpr std::int64_t kListedSurely = 100;
  // The units with the most findings shown, and the links to findings each has.
  static constexpr std::size_t kTopUnits = 20;
  static constexpr std::size_t kLinksPerUnit = 8;

  void write(std::string_view text) override;
  // The whole page, once the writer has finished.
  std::string page(const Summary& summary, const PageFacts& facts);

 private:
  // Takes the complete records of pending_ (all when at_end, else all but the last).
  void take_records(bool at_end);
  void take(const HtmlRecord& record);
  // The unit line being tallied is done: it joins the top units if it has the findings.
  void close_unit();

  std::string pending_;
  std::array<RuleListing, kRuleCount> rules_{};
  std::int64_t next_anchor_ = 1;
  std::int64_t listed_ = 0;
  UnitTally unit_;  // the line whose records come now; line 0 when none
  std::vector<UnitTally> top_units_;
};

}  // namespace unitcheck::lint
