#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lint/exit_status.h"
#include "lint/format.h"
#include "lint/lint_messages.h"
#include "lint/output.h"
#include "lint/report_limits.h"
#include "validate/finding.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {

// The files a report names.
struct ReportPaths {
  std::string unit_table;  // as shown: DATADIR joined with units/units.csv
  std::string part_list;
};

// Renders findings in one format into one output and counts them. render runs on the checking
// threads at once (the counts are atomic); write, begin, finish and the header checks run on one
// thread, in document order. A unit line's findings are worded together (line_findings), so
// that a cause comes before what it explains; limits say how many findings are written.
class LintWriter final : public FindingWriter {
 public:
  LintWriter(const Format& format, Output& output, ReportPaths paths, ReportLimits limits = {})
      : format_(format),
        output_(output),
        paths_(std::move(paths)),
        written_unit_table_(format.written_path(paths_.unit_table)),
        written_part_list_(format.written_path(paths_.part_list)),
        char_columns_(format.wants_char_columns()),
        gate_(limits) {}

  // The names offered as "did you mean"; set before the checking threads start. Their lists are
  // made when a finding first needs them (see NameIndex), so that a run pays only for the lists
  // its findings need.
  void set_suggestions(SuggestionLists lists) { suggestions_ = std::move(lists); }

  // The finding's message is built in scratch's room.
  void render(const Finding& finding, std::string& text, RenderScratch& scratch) const override;
  void write(std::string_view text) override;
  std::size_t line_group_limit() const override { return kLineGroupLimit; }
  void render_line_findings(std::span<const Finding> findings, std::string& text,
                            RenderScratch& scratch) const override;

  // Checks the unit table's header, mapped onto units, and reports what it finds.
  void check_header(const UnitHeader& header, const MemTable& units);
  // Renders and writes one of unitlint's own findings.
  void report(LintFinding finding);

  void begin();
  // Ends the document with its summary: rows is the number of unit lines checked; checked tells
  // whether the unit table was read to its end, failure why not.
  // Returns what the document's end said; its texts are valid while the writer is.
  Summary finish(std::int64_t rows, bool checked, std::string_view failure = {});
  // Keeps the first findings written, as written (at most kFirstItems), for a summary
  // elsewhere: first_items. Set before the first finding.
  void keep_first_items() { keep_first_items_ = true; }
  std::span<const std::string> first_items() const { return first_items_; }

  FindingCounts counts() const { return {errors_.load(), warnings_.load()}; }
  std::int64_t notes() const { return notes_.load(); }
  // Findings of each rule, notes included, by Rule.
  std::array<std::int64_t, kRuleCount> rule_counts() const;
  std::int64_t omitted_errors() const { return gate_.omitted_errors(); }
  std::int64_t omitted_warnings() const { return gate_.omitted_warnings(); }

 private:
  // A line's findings are held for wording together up to this many; a line with more (only a
  // hostile one has) is worded in parts of this size.
  static constexpr std::size_t kLineGroupLimit = 256;
  static constexpr std::size_t kFirstItems = 10;

  void render(LintFinding& finding, std::string& text, LinePlace& place) const;
  void count(const LintFinding& finding) const;
  // Fills in the character columns of the finding and its notes, for a format that asks.
  void count_characters(LintFinding& finding, LinePlace& place) const;
  void write_item(std::string_view item);

  const Format& format_;
  Output& output_;
  ReportPaths paths_;
  std::string written_unit_table_;  // the paths as the format writes them
  std::string written_part_list_;
  bool char_columns_;  // the format's items show columns in code points

  SuggestionLists suggestions_;
  bool before_first_item_ = true;
  mutable std::atomic<std::int64_t> errors_{0};
  mutable std::atomic<std::int64_t> warnings_{0};
  mutable std::atomic<std::int64_t> notes_{0};
  mutable std::array<std::atomic<std::int64_t>, kRuleCount> rule_counts_{};
  ReportGate gate_;
  bool keep_first_items_ = false;
  std::vector<std::string> first_items_;
};

}  // namespace unitcheck::lint
