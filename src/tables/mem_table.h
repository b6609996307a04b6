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

// A named, typed, in-memory record table whose Text fields are kept, read column by column
// (for_each_text); the other fields describe a column and keep no value. Its errors are
// Failures of kind EDatabaseError or EListError.
class MemTable {
 public:
  explicit MemTable(std::string name) : name_(std::move(name)) {}
  MemTable(const MemTable&) = delete;
  MemTable& operator=(const MemTable&) = delete;

  const std::string& name() const { return name_; }

  // Set-up.
  void add_field_def(std::string name, FieldType type, int size, bool required);
  void create_storage();
  void open();
  void clear_records();
  // Makes room for this many more records, whose texts take at most text_bytes in any one
  // field, so that posting them never regrows the storage.
  void reserve(std::size_t records, std::size_t text_bytes);

  // Writing a record.
  void append();
  void set_text(const Field& field, std::string_view text);
  void post();

  // Reading.
  int record_count() const;
  int field_count() const { return static_cast<int>(fields_.size()); }
  const Field& field_at(int position) const;
  // The field whose name matches, letters a to z compared without case.
  const Field& field_by_name(std::string_view name) const;
  // The same lookup, but null when no field matches.
  const Field* find_field(std::string_view name) const;

  // Calls f(std::string_view text) with the Text field's value in each posted record in order;
  // empty for a record that set none.
  template <class F>
  void for_each_text(int position, F&& f) const;

 private:
  enum class State { Closed, Browsing, Appending };
  struct Value {
    bool is_null = true;
    std::string text;
  };
  using Record = std::vector<Value>;
  // The posted texts of one Text field, record by record, end to end in one string. A record
  // costs a few bytes plus its text. A column whose records are all null, or none, keeps no null
  // flags: they are made when the first record differs.
  struct Column {
    std::vector<unsigned char> nulls;  // bytes: pushed cheaper than bits; empty while uniform
    bool uniform_null = false;         // every record's flag while nulls is empty
    std::vector<std::size_t> text_starts;
    std::string texts;

    bool is_null(std::size_t record) const {
      return nulls.empty() ? uniform_null : nulls[record] != 0;
    }
    void push_null(bool is_null, std::size_t record);
  };

  void require_active() const;

  std::string name_;
  std::vector<FieldDef> definitions_;
  std::vector<Field> fields_;
  std::vector<Column> columns_;
  std::size_t record_count_ = 0;
  Record appending_;
  State state_ = State::Closed;
};

template <class F>
void MemTable::for_each_text(int position, F&& f) const {
  require_active();
  if (columns_.empty()) return;
  const Column& column = columns_.at(static_cast<std::size_t>(position));
  const std::string_view texts = column.texts;
  for (std::size_t record = 0; record < record_count_; ++record) {
    if (column.is_null(record) || column.text_starts.empty()) {
      f(std::string_view());
      continue;
    }
    const std::size_t start = column.text_starts[record];
    const std::size_t end =
        record + 1 < column.text_starts.size() ? column.text_starts[record + 1] : texts.size();
    f(texts.substr(start, end - start));
  }
}

}  // namespace unitcheck
