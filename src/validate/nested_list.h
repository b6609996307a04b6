#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/max_lengths.h"
#include "tables/mem_table.h"

namespace unitcheck {

class CategoryList;
class Console;
class PartIndex;

// What a value of a nested list is checked against besides its type.
enum class NestedRole {
  None,
  Category,       // cargo_import.Cat: must be a known category, in any letter case
  PartName,       // cargo.filename: remembered for the Category check that follows
  CargoCategory,  // cargo.Category: the part or the category must be in the master part list
};

// One field of a nested list's groups, with everything its checks need worked out once.
struct NestedField {
  std::string name;
  FieldType type;
  int data_size;
  LengthTally length;  // under the key table name, ".", field name
  NestedRole role;
};

// The description of the groups of one nested-list column, taken from the table's schema.
struct NestedList {
  explicit NestedList(const MemTable& table);

  // Hands the longest text lengths seen so far to the statistics.
  void flush_lengths(MaxLengths& max_lengths);

  std::string table_name;
  std::vector<NestedField> fields;
};

// What the checks of a nested list read and write besides the cell.
struct NestedContext {
  Console& console;
  const CategoryList& category_list;
  const PartIndex& parts;
};

// Parses a cell of groups in braces, values separated by semicolons, and checks each value
// against the field at its position in the group. Every fault is one line on the console;
// text lengths are gathered in the list until flush_lengths.
void check_nested_list(std::string_view cell, NestedList& list, std::int64_t row_number,
                       NestedContext& context);

}  // namespace unitcheck
