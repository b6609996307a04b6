#include "validate/row_checks.h"

#include <algorithm>
#include <cstring>

#include "csv/split_unit_row.h"
#include "validate/cell_judge.h"
#include "validate/char_sets.h"
#include "validate/column_plan.h"
#include "validate/mask_splitter.h"
#include "validate/nested_list.h"
#include "validate/number_shapes.h"
#include "validate/part_list.h"
#include "validate/unit_header.h"

namespace unitcheck {

namespace {

// The second piece of a Mesh cell cut at ';', '{' and '}': empty without a delimiter.
std::string_view mesh_file_name(std::string_view value) {
  std::size_t first = 0;
  while (first < value.size() && !mesh_delimiters.contains(value[first])) ++first;
  if (first == value.size()) return {};
  std::size_t end = first + 1;
  while (end < value.size() && !mesh_delimiters.contains(value[end])) ++end;
  return value.substr(first + 1, end - first - 1);
}

// Look aheads find the Directory cell by counting commas: only where it is among the first
// cells of a line, as it usually is the second.
constexpr int kLastColumnLookedAhead = 7;

// The cell at column of a line cut at every comma; empty when the line has fewer. The Directory
// cell is there unless a quote comes before it, and a look ahead needs no more than a guess.
std::string_view comma_cell(std::string_view line, int column) {
  std::size_t begin = 0;
  for (int k = 0; k < column; ++k) {
    const std::size_t comma = line.find(',', begin);
    if (comma == std::string_view::npos) return {};
    begin = comma + 1;
  }
  return line.substr(begin, line.find(',', begin) - begin);
}

// The first Directory column among the columns a look ahead reaches, or -1.
int look_ahead_column(const std::vector<ColumnPlan>& plans) {
  for (std::size_t i = 0; i < plans.size() && i <= kLastColumnLookedAhead; ++i)
    if (plans[i].kind == CellKind::Text && plans[i].role == ColumnRole::Directory)
      return static_cast<int>(i);
  return -1;
}

#if defined(UNITCHECK_AVX2_FORMS)
// split_row_by_masks over blocks classified with AVX2; the callback is inlined into it.
template <class OnCell>
__attribute__((target("avx2"))) RowShape split_row_by_masks_avx2(
    std::string_view line, int limit, OnCell& on_cell, std::span<const unsigned char> float_runs) {
  return split_row_by_masks(line, limit, CommaBlocksAvx2{}, on_cell, float_runs);
}
#else
// A build without the AVX2 forms runs the SSE2 form in its stead.
template <class OnCell>
RowShape split_row_by_masks_avx2(std::string_view line, int limit, OnCell& on_cell,
                                 std::span<const unsigned char> float_runs) {
  return split_row_by_masks(line, limit, CommaBlocks{}, on_cell, float_runs);
}
#endif

}  // namespace

RowChecker::RowChecker(const UnitHeader& header, const PartList& part_list,
                       std::string_view data_directory, FileTests& file_tests,
                       FindingSink& sink, const PathJudging* paths)
    : header_(header), part_list_(part_list), file_tests_(data_directory, file_tests), sink_(sink) {
  if (paths != nullptr) bounds_.emplace(data_directory, *paths);
  column_lengths_.reserve(header.plans.size());
  for (const ColumnPlan& plan : header.plans)
    column_lengths_.push_back(LengthTally{plan.kind == CellKind::Text ? "units." + plan.name : ""});
  for (std::size_t i = 0; i < nested_lengths_.size(); ++i)
    nested_lengths_[i] = header.nested_lists.lists[i].length_tallies();
  float_runs_ = run_lengths(header.plans.size(),
                            [&](std::size_t i) { return header.plans[i].kind == CellKind::Float; });
  directory_column_ = look_ahead_column(header.plans);
}

void RowChecker::look_ahead(std::string_view line) {
  if (directory_column_ >= 0) file_tests_.look_ahead(comma_cell(line, directory_column_));
}

bool RowChecker::check_line(std::string_view line, std::int64_t row) {
  if (line.empty()) return false;
  // A line without a key names no unit: it is passed over, and said to be.
  if (!is_unit_line(line)) {
    Finding finding{.kind = FindingKind::EmptyKey, .line = row};
    finding.line_text = line;
    sink_.report(finding);
    return false;
  }
  unit_directory_ = {};
  line_ = line;
  row_ = row;
  const auto field_count = static_cast<int>(header_.field_count);
  const std::size_t plan_count = header_.plans.size();
  const ColumnPlan* const plans = header_.plans.data();
  // Most cells are plain numbers of number columns: they pass in the callback, without a call
  // (the same tests check_float and check_int64 begin with), as the masks that cut the line
  // tell them. So do empty cells, cells beyond the header's columns, boolean words and texts
  // without a file to test that fit their size (their length is kept), which check_cell would
  // pass at once.
  auto on_cell = [&](int column_index, std::string_view value, CellNumbers numbers) {
    const auto index = static_cast<std::size_t>(column_index);
    if (index >= plan_count || value.empty()) return;
    const ColumnPlan& plan = plans[index];
    if (plan.kind == CellKind::Float && numbers.plain_float) return;
    if (plan.kind == CellKind::Int64 && numbers.plain_integer) return;
    if (plan.kind == CellKind::Boolean && is_boolean_word(value)) return;
    if (plan.kind == CellKind::Text && plan.role == ColumnRole::Plain &&
        static_cast<std::int64_t>(value.size()) <= plan.declared_size) {
      column_lengths_[index].record(static_cast<std::int64_t>(value.size()));
      return;
    }
    check_cell(column_index, value);
  };
  const RowShape shape = in_block_form(
      block_form_,
      [&] {
        return split_row_by_masks(line, field_count, CommaBlocksPlain{}, on_cell, float_runs_);
      },
      [&] { return split_row_by_masks(line, field_count, CommaBlocks{}, on_cell, float_runs_); },
      [&] { return split_row_by_masks_avx2(line, field_count, on_cell, float_runs_); });
  if (shape.too_many) {
    Finding finding{.kind = FindingKind::TooManyCells, .line = row, .cell = field_count};
    finding.cell_offset = static_cast<std::int64_t>(shape.stop_offset);
    finding.value = line;
    finding.line_text = line;
    finding.limit = field_count;
    sink_.report(finding);
  }
  if (shape.cell_count < field_count) {
    Finding finding{.kind = FindingKind::TooFewCells, .line = row, .cell = shape.cell_count};
    finding.cell_offset = static_cast<std::int64_t>(line.size());
    finding.value = line;
    finding.line_text = line;
    finding.limit = field_count;
    sink_.report(finding);
  }
  return true;
}

void RowChecker::flush_lengths(MaxLengths& max_lengths) {
  for (LengthTally& tally : column_lengths_) tally.flush_into(max_lengths);
  for (std::vector<LengthTally>& list : nested_lengths_)
    for (LengthTally& tally : list) tally.flush_into(max_lengths);
}

Finding RowChecker::cell_finding(FindingKind kind, int column_index, std::string_view column,
                                 std::string_view value) const {
  Finding finding{.kind = kind, .line = row_, .cell = column_index};
  finding.cell_offset = value.data() - line_.data();
  finding.column = column;
  finding.value = value;
  finding.length = static_cast<std::int64_t>(value.size());
  finding.line_text = line_;
  return finding;
}

void RowChecker::report_cell(FindingKind kind, int column_index, std::string_view column,
                             std::string_view value, std::int64_t error_position) {
  Finding finding = cell_finding(kind, column_index, column, value);
  finding.error_position = error_position;
  sink_.report(finding);
}

void RowChecker::check_cell(int column_index, std::string_view value) {
  // Cells beyond the header's last column have no name and are not checked.
  const auto index = static_cast<std::size_t>(column_index);
  if (value.empty() || index >= header_.plans.size()) return;
  const ColumnPlan& plan = header_.plans[index];
  switch (plan.kind) {
    case CellKind::Unchecked:
      break;
    case CellKind::Text:
      column_lengths_[index].record(static_cast<std::int64_t>(value.size()));
      check_text(plan, column_index, value);
      break;
    case CellKind::Nested: {
      const auto list = static_cast<std::size_t>(plan.nested);
      check_nested_list(
          value, header_.nested_lists.lists[list], nested_lengths_[list],
          cell_finding(FindingKind::UnclosedGroup, column_index, plan.name, value),
          NestedContext{sink_, part_list_.category_list, part_list_.parts, block_form_});
      break;
    }
    case CellKind::Boolean:
      check_judged<ValueRule::BooleanWord>(plan, column_index, value);
      break;
    case CellKind::Float:
      check_judged<ValueRule::Float>(plan, column_index, value);
      break;
    case CellKind::Int64:
      check_judged<ValueRule::Integer64>(plan, column_index, value);
      break;
  }
}

void RowChecker::check_text(const ColumnPlan& plan, int column_index, std::string_view value) {
  if (!fits_declared_size(value, plan.declared_size)) {
    Finding finding = cell_finding(FindingKind::TextTooLong, column_index, plan.name, value);
    finding.limit = plan.declared_size;
    sink_.report(finding);
  }
  switch (plan.role) {
    default:  // Plain: only the length counts
      break;
    case ColumnRole::Directory:
      check_directory(plan, column_index, value);
      break;
    case ColumnRole::Cockpit:
      check_cockpit(plan, column_index, value);
      break;
    case ColumnRole::Mesh:
      if (unit_directory_.exists) check_mesh(plan, column_index, mesh_file_name(value));
      break;
    case ColumnRole::MeshFile:
      if (unit_directory_.exists) check_mesh(plan, column_index, value);
      break;
  }
}

// A path that leads out of the data directory is still tested, as unitcheck always has: the
// test reads no file and lists no folder, its answer goes only to whoever runs the check, and
// unitlint's findings stay unitcheck's with its own added.
void RowChecker::check_directory(const ColumnPlan& plan, int column_index, std::string_view value) {
  unit_directory_ = file_tests_.unit_directory(value);
  if (!unit_directory_.exists)
    report_cell(FindingKind::DirectoryMissing, column_index, plan.name, value);
  if (bounds_) judge_directory(plan, column_index, value);
}

void RowChecker::check_cockpit(const ColumnPlan& plan, int column_index, std::string_view value) {
  if (value == "no-cockpit") return;
  const bool exists = file_tests_.cockpit_exists(value);
  if (!exists) report_cell(FindingKind::CockpitMissing, column_index, plan.name, value);
  // Cockpit paths keep their backslashes in their test: links are followed on the same path.
  if (bounds_)
    report_escape(bounds_->judge("cockpits/", 1, value, false, exists), column_index, plan.name,
                  value);
}

void RowChecker::judge_directory(const ColumnPlan& plan, int column_index, std::string_view value) {
  const PathEscape escape = bounds_->judge("units/", 1, value, true, unit_directory_.exists);
  unit_cell_ = value;
  unit_depth_ = escape == PathEscape::None ? depth_after(1, value) : -1;
  report_escape(escape, column_index, plan.name, value);
}

// A mesh is looked for under the unit's directory, then under meshes/: its text must stay inside
// from both, and links are followed where it is found.
void RowChecker::judge_mesh(const ColumnPlan& plan, int column_index, std::string_view file,
                            bool found) {
  folder_.clear();
  if (unit_depth_ >= 0) folder_.assign("units/").append(unit_cell_).append("/");
  report_escape(bounds_->judge_mesh(folder_, unit_depth_, file, found), column_index, plan.name,
                file);
}

void RowChecker::report_escape(PathEscape escape, int column_index, std::string_view column,
                               std::string_view value) {
  if (escape == PathEscape::None) return;
  Finding finding = cell_finding(FindingKind::PathOutsideData, column_index, column, value);
  finding.limit = static_cast<std::int64_t>(escape);
  sink_.report(finding);
}

// A mesh file passes when it is in the unit's directory or in the shared meshes/ folder.
void RowChecker::check_mesh(const ColumnPlan& plan, int column_index, std::string_view file) {
  const bool exists = file_tests_.mesh_exists(unit_directory_, file);
  if (!exists) {
    Finding finding = cell_finding(FindingKind::MeshMissing, column_index, plan.name, file);
    finding.folder = file_tests_.directory_path(unit_directory_);
    sink_.report(finding);
  }
  if (bounds_ && !file.empty() && !bounds_->plainly_inside(file))
    judge_mesh(plan, column_index, file, exists);
}

template <ValueRule rule>
void RowChecker::check_judged(const ColumnPlan& plan, int column_index, std::string_view value) {
  const Judgement judgement = judge_value(rule, value);
  if (!judgement.fits())
    report_cell(finding_kind(judgement.verdict, false), column_index, plan.name, value,
                judgement.error_position);
}

}  // namespace unitcheck
