#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lint/enrich.h"
#include "lint/exit_status.h"
#include "lint/format.h"
#include "lint/item_marks.h"
#include "lint/lint_finding.h"
#include "lint/output.h"
#include "lint/render_scratch.h"
#include "lint/report_limits.h"
#include "validate/finding.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {

// The files a report names.
struct ReportPaths {
  std::string unit_table;  // as shown: DATADIR joined with units/units.csv
  std::string part_list;
};

// Renders findings in one format into one output, and counts them as it writes them. render runs
// on the checking threads at once, in three steps: enrich (a finding, its line and the data's
// suggestions → a lint finding), word (its message), and the format's item; a unit line's
// findings are enriched together (line_findings), so that a cause comes before what it
// explains. write, begin, finish and the header checks run on one thread, in document order:
// there each rendered finding's mark (item_marks.h) is counted and judged against the limits.
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

  // What findings are enriched with: the names offered as "did you mean" (valid while findings
  // are rendered) and the header's columns; set before the checking threads start.
  void set_context(FindingContext context) { context_ = context; }

  // A RenderScratch: the finding's message is built in its room.
  std::unique_ptr<RenderState> make_render_state() const override {
    return std::make_unique<RenderScratch>();
  }
  // state is what make_render_state made.
  void render(const Finding& finding, std::string& text, RenderState& state) const override;
  void write(std::string_view text) override;
  std::size_t line_group_limit() const override { return kLineGroupLimit; }
  void render_line_findings(std::span<const Finding> findings, std::string& text,
                            RenderState& state) const override;

  // Checks the unit table's header, mapped onto units, and reports what it finds.
  void check_header(const UnitHeader& header, const MemTable& units);
  // Renders and writes one of unitlint's own findings.
  void report(LintFinding finding);

  void begin();
  // Ends the document with its summary: rows is the number of unit lines checked; checked tells
  // whether the unit table was read to its end, failure why not.
  // Returns what the document's end said; its texts are valid while the writer is.
  Summary finish(std::int64_t rows, bool checked, std::string_view failure = {});
  // Keeps the first findings written (at most kFirstItems), each as the line that item_line
  // makes of it, for a summary elsewhere: first_items. Set before the first finding.
  using ItemLine = std::string (*)(const LintFinding& finding, std::string_view path);
  void keep_first_items(ItemLine item_line) { item_line_ = item_line; }
  std::span<const std::string> first_items() const { return first_items_; }

  FindingCounts counts() const { return {errors_, warnings_}; }
  std::int64_t notes() const { return notes_; }
  // Findings of each rule, notes included, by Rule.
  const std::array<std::int64_t, kRuleCount>& rule_counts() const { return rule_counts_; }
  std::int64_t omitted_errors() const { return gate_.omitted_errors(); }
  std::int64_t omitted_warnings() const { return gate_.omitted_warnings(); }

 private:
  // A line's findings are held for wording together up to this many; a line with more (only a
  // hostile one has) is worded in parts of this size.
  static constexpr std::size_t kLineGroupLimit = 256;
  static constexpr std::size_t kFirstItems = 10;

  void render(LintFinding& finding, std::string& text, LinePlace& place) const;
  void count(const ItemMark& mark);
  // Adds a finding's text to what the next flush writes: the items of a chunk in one write.
  void emit(const ItemMark& mark);
  void flush();
  // Fills in the character columns of the finding and its notes, for a format that asks.
  void count_characters(LintFinding& finding, LinePlace& place) const;

  const Format& format_;
  Output& output_;
  ReportPaths paths_;
  std::string written_unit_table_;  // the paths as the format writes them
  std::string written_part_list_;
  bool char_columns_;  // the format's items show columns in code points

  FindingContext context_;
  bool before_first_item_ = true;
  std::string pending_;
  std::int64_t errors_ = 0;
  std::int64_t warnings_ = 0;
  std::int64_t notes_ = 0;
  std::array<std::int64_t, kRuleCount> rule_counts_{};
  ReportGate gate_;
  ItemLine item_line_ = nullptr;
  std::vector<std::string> first_items_;
  // How many are kept: read by the rendering threads, which attach no line past kFirstItems.
  std::atomic<std::size_t> first_items_kept_{0};
};

}  // namespace unitcheck::lint
