#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "lint/exit_status.h"
#include "lint/format.h"
#include "lint/lint_messages.h"
#include "lint/output.h"
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
// thread, in document order.
class LintWriter final : public FindingWriter {
 public:
  LintWriter(const Format& format, Output& output, ReportPaths paths)
      : format_(format),
        output_(output),
        paths_(std::move(paths)),
        written_unit_table_(format.written_path(paths_.unit_table)),
        written_part_list_(format.written_path(paths_.part_list)) {}

  // The names offered as "did you mean"; set before the checking threads start. Their lists are
  // made when a finding first needs them (see NameIndex), so that a run pays only for the lists
  // its findings need.
  void set_suggestions(SuggestionLists lists) { suggestions_ = std::move(lists); }

  // The finding's message is built in scratch's room.
  void render(const Finding& finding, std::string& text, std::string& scratch) const override;
  void write(std::string_view text) override;

  // Checks the unit table's header, mapped onto units, and reports what it finds.
  void check_header(const UnitHeader& header, const MemTable& units);
  // Renders and writes one of unitlint's own findings.
  void report(const LintFinding& finding);

  void begin();
  // Ends the document with its summary: rows is the number of unit lines checked; checked tells
  // whether the unit table was read to its end.
  void finish(std::int64_t rows, bool checked);

  FindingCounts counts() const { return {errors_.load(), warnings_.load()}; }

 private:
  void render(const LintFinding& finding, std::string& text) const;

  const Format& format_;
  Output& output_;
  ReportPaths paths_;
  std::string written_unit_table_;  // the paths as the format writes them
  std::string written_part_list_;

  SuggestionLists suggestions_;
  bool before_first_item_ = true;
  mutable std::atomic<std::int64_t> errors_{0};
  mutable std::atomic<std::int64_t> warnings_{0};
};

}  // namespace unitcheck::lint
