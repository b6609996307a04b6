#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "csv/byte_scan.h"
#include "tables/max_lengths.h"
#include "tables/schemas.h"
#include "validate/finding.h"
#include "validate/path_bounds.h"
#include "validate/row_file_tests.h"

namespace unitcheck {

class FileTests;
enum class ValueRule : std::uint8_t;
struct ColumnPlan;
struct PartList;
struct UnitHeader;

// Whether a line names a unit, which check_line then checks: not blank, with a key.
inline bool is_unit_line(std::string_view line) {
  return !line.empty() && line.front() != ',';
}

// Checks unit lines one at a time: each cell of a known column by its type, then the line's
// cell count. Faults go to the sink as findings; text lengths are gathered until
// flush_lengths. Reads its inputs only, so checkers on several threads can share them. Given
// paths, it also judges whether path cells lead out of the data directory.
class RowChecker {
 public:
  RowChecker(const UnitHeader& header, const PartList& part_list, std::string_view data_directory,
             FileTests& file_tests, FindingSink& sink, const PathJudging* paths = nullptr);

  // Starts fetching the memory that checking line will read, for a line checked two lines
  // after this one's look ahead (the lines are checked in the order they are looked at).
  void look_ahead(std::string_view line);
  // Checks a line that is file line row. An empty line is passed over; so is a line whose key
  // (its first cell) is empty, with a finding. Returns whether the line was checked.
  bool check_line(std::string_view line, std::int64_t row);

  // Hands the text lengths gathered over all lines to the statistics.
  void flush_lengths(MaxLengths& max_lengths);

 private:
  void check_cell(int column_index, std::string_view value);
  void check_text(const ColumnPlan& plan, int column_index, std::string_view value);
  void check_directory(const ColumnPlan& plan, int column_index, std::string_view value);
  void check_cockpit(const ColumnPlan& plan, int column_index, std::string_view value);
  void check_mesh(const ColumnPlan& plan, int column_index, std::string_view file);
  // The judgements of path cells against the data directory's bounds (bounds_ is set).
  void judge_directory(const ColumnPlan& plan, int column_index, std::string_view value);
  void judge_mesh(const ColumnPlan& plan, int column_index, std::string_view file, bool found);
  void report_escape(PathEscape escape, int column_index, std::string_view column,
                     std::string_view value);
  // A boolean or number cell, by the judge of values.
  template <ValueRule rule>
  void check_judged(const ColumnPlan& plan, int column_index, std::string_view value);
  // Where the cell lies, and what it holds.
  Finding cell_finding(FindingKind kind, int column_index, std::string_view column,
                       std::string_view value) const;
  void report_cell(FindingKind kind, int column_index, std::string_view column,
                   std::string_view value, std::int64_t error_position = 0);

  const UnitHeader& header_;
  const PartList& part_list_;
  RowFileTests file_tests_;  // this thread's, over the cache shared by every thread
  FindingSink& sink_;
  std::vector<LengthTally> column_lengths_;  // one per plan
  // For each plan, how many floating-point columns follow one another from it on: their plain
  // numbers pass in the splitter, together.
  std::vector<unsigned char> float_runs_;
  std::array<std::vector<LengthTally>, kNestedListCount>
      nested_lengths_;  // one per field of each list
  BlockForm block_form_ = block_form_of_environment();
  int directory_column_ = -1;  // the first Directory column, when a look ahead can find it
  std::string_view line_;
  std::int64_t row_ = 0;
  // The line's unit directory; meshes are looked for in it once it is found.
  RowFileTests::UnitDirectory unit_directory_;
  std::optional<PathBounds> bounds_;  // only when path cells are judged
  // The line's Directory cell and the depth it leads to under units/; -1 when it leads out (its
  // meshes are then judged under meshes/ only: the Directory cell has its own finding).
  std::string_view unit_cell_;
  int unit_depth_ = -1;
  std::string folder_;  // reused for the folder a mesh is judged under
};

}  // namespace unitcheck
