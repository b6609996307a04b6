#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck {

enum class FieldType { Text, Integer, Int64, Float, Boolean };

struct FieldDef {
  std::string name;
  FieldType type;
  int size;  // the most bytes a Text field stores; 0 for the other types
  bool required;
};

// Storage size of a field: the declared size plus one for Text, 4, 8, 8 and 2 for the others.
constexpr int data_size_of(FieldType type, int size) {
  switch (type) {
    case FieldType::Text:
      return size + 1;
    case FieldType::Integer:
      return 4;
    case FieldType::Int64:
    case FieldType::Float:
      return 8;
    case FieldType::Boolean:
      return 2;
  }
  return 0;
}

// The type's name in listings and hovers.
constexpr std::string_view field_type_name(FieldType type) {
  switch (type) {
    case FieldType::Text:
      return "text";
    case FieldType::Integer:
      return "integer";
    case FieldType::Int64:
      return "int64";
    case FieldType::Float:
      return "float";
    case FieldType::Boolean:
      return "boolean";
  }
  return "?";
}

class MemTable;

// One field of an open table.
class Field {
 public:
  Field(const FieldDef& def, int position);

  const std::string& name() const { return name_; }
  FieldType type() const { return type_; }
  int size() const { return size_; }
  int position() const { return position_; }
  int data_size() const { return data_size_of(type_, size_); }

 private:
  std::string name_;
  FieldType type_;
  int size_;
  int position_;
};

// A named table of typed columns, found by position or by name: the unit table's columns, for
// the header's lookups. It keeps no records: the checks read the unit table line by line and
// the part list into name sets. Its errors are Failures of kind EDatabaseError or EListError.
class MemTable {
 public:
  explicit MemTable(std::string name) : name_(std::move(name)) {}
  MemTable(const MemTable&) = delete;
  MemTable& operator=(const MemTable&) = delete;

  const std::string& name() const { return name_; }

  // Set-up: the columns are defined, then the table is opened, which makes its fields.
  void add_field_def(std::string name, FieldType type, int size, bool required);
  void open();

  int field_count() const { return static_cast<int>(fields_.size()); }
  const Field& field_at(int position) const;
  // The field whose name matches, letters a to z compared without case.
  const Field& field_by_name(std::string_view name) const;
  // The same lookup, but null when no field matches.
  const Field* find_field(std::string_view name) const;

 private:
  std::string name_;
  std::vector<FieldDef> definitions_;
  std::vector<Field> fields_;
};

}  // namespace unitcheck
