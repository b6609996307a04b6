#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "csv/byte_scan.h"
#include "tables/max_lengths.h"
#include "tables/mem_table.h"
#include "tables/schemas.h"
#include "validate/cell_judge.h"
#include "validate/finding.h"

namespace unitcheck {

class CategoryList;
class PartIndex;
struct NestedListColumn;

// One field of a nested list's groups, with everything its checks need worked out once.
struct NestedField {
  std::string name;
  FieldType type;
  std::int64_t declared_size;  // of a Text field
  std::int64_t data_size;      // reported as a text's limit
  ColumnRole role;             // Plain, Category, PartName or CargoCategory
  ValueRule rule;
};

// The description of the groups of one nested-list column, taken from its table's schema.
struct NestedList {
  explicit NestedList(const NestedListColumn& column);

  // One length tally per field, under the key table name, ".", field name.
  std::vector<LengthTally> length_tallies() const;

  std::string column_name;  // of the unit table, such as "Cargo"
  std::string table_name;   // such as "cargo"
  std::vector<NestedField> fields;
  // For each field, which plain numbers pass without a further test: kFloatNumbers,
  // kIntegerNumbers or kNoNumbers; and kNoNumbers after the last field. The walk of a cell
  // tests most values on this alone.
  std::vector<unsigned char> number_kinds;
  static constexpr unsigned char kNoNumbers = 0, kFloatNumbers = 1, kIntegerNumbers = 2;
  // For each field, how many floating-point fields follow one another from it on (0 for other
  // fields and after the last field): the walk lets such a run of plain numbers pass at once.
  std::vector<unsigned char> float_runs;
};

// The nested-list columns of the unit table and the descriptions of their groups, in the
// order of the unit table's schema.
struct NestedLists {
  NestedLists();
  // The index of the list that the unit-table column holds, or -1.
  int find(std::string_view column) const;

  std::array<NestedList, kNestedListCount> lists;
};

// What the checks of a nested list read besides the cell, and where their findings go.
struct NestedContext {
  FindingSink& sink;
  const CategoryList& category_list;
  const PartIndex& parts;
  BlockForm form = block_form_of_environment();  // of the byte classification: all find the same
};

// Parses a cell of groups in braces, values separated by semicolons, and checks each value
// against the field at its position in the group. Each fault is reported as a copy of cell
// (which says where the cell lies) completed with what was found; text lengths are gathered
// in lengths, one tally per field.
void check_nested_list(std::string_view text, const NestedList& list,
                       std::span<LengthTally> lengths, const Finding& cell,
                       const NestedContext& context);

}  // namespace unitcheck
