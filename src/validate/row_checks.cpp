#include "validate/row_checks.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "csv/line_chunks.h"
#include "csv/split_unit_row.h"
#include "driver/run.h"
#include "platform/ordered_work.h"
#include "tables/convert.h"
#include "validate/cached_file_tests.h"
#include "validate/char_sets.h"
#include "validate/messages.h"
#include "validate/nested_list.h"

namespace unitcheck {

namespace {

enum class CellKind { Unchecked, Text, Nested, Boolean, Float, Int64 };
enum class TextRole { Plain, Directory, Cockpit, Mesh, MeshFile };

// How the cells of one header column are checked, worked out once from the header.
struct ColumnPlan {
  CellKind kind = CellKind::Unchecked;
  std::string_view name;  // the column name as mapped
  LengthTally length;     // of a Text column, under "units." and the name
  int declared_size = 0;
  TextRole role = TextRole::Plain;
  NestedList* nested = nullptr;
};

// The seven nested-list columns and the tables that describe their groups.
struct NestedColumns {
  explicit NestedColumns(const Tables& tables)
      : upgrades(tables.upgrades),
        subunit(tables.subunit),
        light(tables.light),
        mounts(tables.mounts),
        dock(tables.dock),
        cargo_import(tables.cargo_import),
        cargo(tables.cargo) {}

  NestedList* find(std::string_view column) {
    const std::pair<std::string_view, NestedList*> columns[] = {
        {"Upgrades", &upgrades}, {"Sub_Units", &subunit}, {"Light", &light},
        {"Mounts", &mounts},     {"Dock", &dock},         {"Cargo_Import", &cargo_import},
        {"Cargo", &cargo}};
    for (const auto& [name, list] : columns)
      if (column == name) return list;
    return nullptr;
  }

  std::array<NestedList*, 7> all() {
    return {&upgrades, &subunit, &light, &mounts, &dock, &cargo_import, &cargo};
  }

  NestedList upgrades, subunit, light, mounts, dock, cargo_import, cargo;
};

TextRole text_role(std::string_view name) {
  if (name == "Directory") return TextRole::Directory;
  if (name == "Cockpit") return TextRole::Cockpit;
  if (name == "Mesh") return TextRole::Mesh;
  if (name == "Hud_image" || name == "Shield_Mesh" || name == "Rapid_Mesh" || name == "BSP_Mesh")
    return TextRole::MeshFile;
  return TextRole::Plain;
}

ColumnPlan plan_column(const ColumnEntry& entry, const MemTable& units, NestedColumns& nested) {
  ColumnPlan plan;
  if (!entry.known) return plan;
  plan.name = entry.column_name;
  const Field& field = units.field_by_name(entry.column_name);
  switch (field.type()) {
    case FieldType::Text:
      plan.kind = CellKind::Text;
      plan.length.key = "units." + entry.column_name;
      plan.declared_size = field.size();
      plan.role = text_role(entry.column_name);
      break;
    case FieldType::Integer:
      plan.nested = nested.find(entry.column_name);
      if (plan.nested != nullptr) plan.kind = CellKind::Nested;
      break;
    case FieldType::Boolean:
      plan.kind = CellKind::Boolean;
      break;
    case FieldType::Float:
      plan.kind = CellKind::Float;
      break;
    case FieldType::Int64:
      plan.kind = CellKind::Int64;
      break;
  }
  return plan;
}

// The second piece of a Mesh cell cut at ';', '{' and '}': empty without a delimiter.
std::string_view mesh_file_name(std::string_view value) {
  std::size_t first = 0;
  while (first < value.size() && !mesh_delimiters.contains(value[first])) ++first;
  if (first == value.size()) return {};
  std::size_t end = first + 1;
  while (end < value.size() && !mesh_delimiters.contains(value[end])) ++end;
  return value.substr(first + 1, end - first - 1);
}

// Sets path to the three pieces one after another, reusing its memory.
void build_path(std::string& path, std::string_view base, std::string_view middle,
                std::string_view name) {
  path.assign(base);
  path.append(middle);
  path.append(name);
}

bool is_boolean_word(std::string_view value) {
  return value == "TRUE" || value == "true" || value == "false" || value == "FALSE" ||
         value == "0" || value == "1";
}

// Checks the cells of the unit lines, one line at a time.
class RowChecker {
 public:
  RowChecker(Run& run, Console& out, const ColumnMap& column_map, const PartIndex& parts,
             CachedFileTests& file_tests)
      : run_(run),
        out_(out),
        nested_columns_(run.tables),
        context_{out, run.category_list, parts},
        file_tests_(file_tests) {
    plans_.reserve(column_map.size());
    for (const ColumnEntry& entry : column_map)
      plans_.push_back(plan_column(entry, run.tables.units, nested_columns_));
  }

  void check_line(std::string_view line, std::int64_t row) {
    unit_directory_.clear();
    row_ = row;
    const int field_count = run_.tables.units.field_count();
    const RowShape shape = split_unit_row(
        line, field_count,
        [this](int column_index, std::string_view value) { check_cell(column_index, value); });
    if (shape.too_many) messages::too_many_fields(out_, row);
    if (shape.cell_count < field_count)
      messages::too_few_fields(out_, field_count, shape.cell_count);
  }

  // Hands the text lengths gathered over all lines to the statistics.
  void flush_lengths() {
    for (ColumnPlan& plan : plans_) plan.length.flush_into(run_.max_lengths);
    for (NestedList* list : nested_columns_.all()) list->flush_lengths(run_.max_lengths);
  }

 private:
  void check_cell(int column_index, std::string_view value) {
    // Cells beyond the header's last column have no name and are not checked.
    if (value.empty() || static_cast<std::size_t>(column_index) >= plans_.size()) return;
    ColumnPlan& plan = plans_[static_cast<std::size_t>(column_index)];
    switch (plan.kind) {
      case CellKind::Unchecked:
        break;
      case CellKind::Text:
        check_text(plan, column_index, value);
        break;
      case CellKind::Nested:
        check_nested_list(value, *plan.nested, row_, context_);
        break;
      case CellKind::Boolean:
        if (!is_boolean_word(value))
          messages::not_boolean(out_, row_, column_index, plan.name, value);
        break;
      case CellKind::Float:
        check_float(plan, column_index, value);
        break;
      case CellKind::Int64:
        check_int64(plan, column_index, value);
        break;
    }
  }

  void check_text(ColumnPlan& plan, int column_index, std::string_view value) {
    plan.length.record(static_cast<int>(value.size()));
    if (value.size() > static_cast<std::size_t>(plan.declared_size))
      messages::text_too_long(out_, row_, column_index, plan.name, value, plan.declared_size);
    switch (plan.role) {
      case TextRole::Plain:
        break;
      case TextRole::Directory:
        check_directory(column_index, value);
        break;
      case TextRole::Cockpit:
        check_cockpit(column_index, value);
        break;
      case TextRole::Mesh:
        if (!unit_directory_.empty()) check_mesh(plan, column_index, mesh_file_name(value));
        break;
      case TextRole::MeshFile:
        if (!unit_directory_.empty()) check_mesh(plan, column_index, value);
        break;
    }
  }

  void check_directory(int column_index, std::string_view value) {
    build_path(unit_directory_, run_.data_directory, "units/", value);
    convert_separators(unit_directory_);
    if (!file_tests_.is_directory(unit_directory_)) {
      messages::directory_missing(out_, row_, column_index, value);
      unit_directory_.clear();
    }
  }

  void check_cockpit(int column_index, std::string_view value) {
    if (value == "no-cockpit") return;
    build_path(path_, run_.data_directory, "cockpits/", value);
    if (!file_tests_.is_directory(path_))
      messages::cockpit_missing(out_, row_, column_index, value);
  }

  // A mesh file passes when it is in the unit's directory or in the shared meshes/ folder.
  void check_mesh(const ColumnPlan& plan, int column_index, std::string_view file) {
    build_path(path_, unit_directory_, "/", file);
    convert_separators(path_);
    if (file_tests_.exists(path_)) return;
    build_path(path_, run_.data_directory, "meshes/", file);
    convert_separators(path_);
    if (file_tests_.exists(path_)) return;
    messages::mesh_missing(out_, row_, column_index, plan.name, file);
  }

  void check_float(const ColumnPlan& plan, int column_index, std::string_view value) {
    if (is_plain_float(value)) return;
    if (!all_chars_in(value, float_chars)) {
      messages::not_float(out_, row_, column_index, plan.name, value);
      return;
    }
    const int error_position = float_error_position(value);
    if (error_position > 0)
      messages::float_conversion(out_, row_, column_index, plan.name, value, error_position);
  }

  void check_int64(const ColumnPlan& plan, int column_index, std::string_view value) {
    if (is_plain_integer(value, 18)) return;
    if (!all_chars_in(value, integer_chars)) {
      messages::not_integer(out_, row_, column_index, plan.name, value);
      return;
    }
    const int error_position = convert_int64(value).error_position;
    if (error_position > 0)
      messages::integer_conversion(out_, row_, column_index, plan.name, value, error_position);
  }

  Run& run_;
  Console& out_;
  NestedColumns nested_columns_;
  NestedContext context_;
  std::vector<ColumnPlan> plans_;
  CachedFileTests& file_tests_;  // shared by the checkers of every thread
  std::string unit_directory_;
  std::string path_;  // reused for every path a check builds
  std::int64_t row_ = 0;
};

// A checker with its own output text, for one thread.
struct ChunkChecker {
  ChunkChecker(Run& run, const ColumnMap& column_map, const PartIndex& parts,
               CachedFileTests& file_tests)
      : console(text), rows(run, console, column_map, parts, file_tests) {}

  // Checks the lines of the chunk and leaves what they printed in its output, also when a
  // check fails on the way.
  void check(WorkChunk& chunk) {
    text.clear();
    std::int64_t row = chunk.number;
    try {
      for_each_unit_line(chunk.input, [&](std::string_view line) {
        if (!line.empty() && line.front() != ',') rows.check_line(line, row);
        ++row;
      });
    } catch (...) {
      chunk.output.swap(text);
      throw;
    }
    chunk.output.swap(text);
  }

  std::string text;
  Console console;
  RowChecker rows;
};

}  // namespace

void check_unit_rows(Run& run, UnitLineReader& reader, const ColumnMap& column_map,
                     const PartIndex& parts) {
  // Sixteen locked shards take kilobytes: on the heap, they leave the stack, which may be as
  // small as the user's limit makes it, to the calls that start the threads.
  const auto file_tests = std::make_unique<CachedFileTests>();
  std::vector<std::unique_ptr<ChunkChecker>> checkers;
  for (unsigned k = 0; k < std::max(run.worker_threads, 1u); ++k)
    checkers.push_back(std::make_unique<ChunkChecker>(run, column_map, parts, *file_tests));

  UnitChunkReader chunks(reader);
  std::int64_t next_row = 3;  // the first line after the two header lines
  OrderedWork work;
  work.produce = [&](WorkChunk& chunk) {
    if (!chunks.next(chunk.buffer, chunk.input)) return false;
    chunk.number = next_row;
    next_row += count_unit_lines(chunk.input);
    return true;
  };
  work.process = [&](unsigned worker, WorkChunk& chunk) { checkers[worker]->check(chunk); };
  work.consume = [&](WorkChunk& chunk) { run.console.write_lines(chunk.output); };
  run_ordered_work(work, run.worker_threads);

  for (const auto& checker : checkers) checker->rows.flush_lengths();
  run.console.line("Database processed.");
}

}  // namespace unitcheck
