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

class MemTable;

// One field of an open table. It reads the table's current record.
class Field {
 public:
  Field(const MemTable& table, const FieldDef& def, int position);

  const std::string& name() const { return name_; }
  FieldType type() const { return type_; }
  int size() const { return size_; }
  int position() const { return position_; }
  // Storage size: the declared size plus one for Text, 4, 8, 8 and 2 for the others.
  int data_size() const;
  // The Text value of the current record; empty when it is null or there is no current record.
  std::string_view as_text() const;

 private:
  const MemTable* table_;
  std::string name_;
  FieldType type_;
  int size_;
  int position_;
};

// A named, typed, in-memory record table with a cursor. Its errors are Failures of kind
// EDatabaseError or EListError.
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
  void set_boolean(const Field& field, bool value);
  void set_float(const Field& field, double value);
  void set_int64(const Field& field, std::int64_t value);
  void post();

  // Reading.
  void first();
  void next();
  bool eof() const { return eof_; }
  int record_count() const;
  int field_count() const { return static_cast<int>(fields_.size()); }
  const Field& field_at(int position) const;
  // The field whose name matches, letters a to z compared without case.
  const Field& field_by_name(std::string_view name) const;
  // The same lookup, but null when no field matches.
  const Field* find_field(std::string_view name) const;

  // Calls f(std::string_view text) with the Text field's value in each posted record in order,
  // as text_at would give it at that record, without moving the cursor.
  template <class F>
  void for_each_text(int position, F&& f) const;

  // Read access for Field; the typed values of the current record.
  std::string_view text_at(int position) const;
  bool is_null_at(int position) const;
  std::int64_t int64_at(int position) const;
  double float_at(int position) const;

 private:
  enum class State { Closed, Browsing, Appending };
  struct Value {
    bool is_null = true;
    std::string text;
    std::int64_t integer = 0;
    double real = 0;
    bool boolean = false;
  };
  using Record = std::vector<Value>;
  // The posted values of one field, record by record: texts end to end in one string,
  // the other types as 64-bit patterns. A record costs a few bytes per field plus its text.
  // A column whose records are all null, or none, keeps no null flags; one whose scalars are
  // all 0 keeps none either (an Integer field of the part list is never set): both are made
  // when the first record differs.
  struct Column {
    std::vector<unsigned char> nulls;  // bytes: pushed cheaper than bits; empty while uniform
    bool uniform_null = false;         // every record's flag while nulls is empty
    std::vector<std::size_t> text_starts;
    std::string texts;
    std::vector<std::uint64_t> scalars;  // empty while every value is 0

    bool is_null(std::size_t record) const {
      return nulls.empty() ? uniform_null : nulls[record] != 0;
    }
    void push_null(bool is_null, std::size_t record);
    void push_scalar(std::uint64_t bits, std::size_t record);
  };

  void require_active() const;
  Value& appended_value(const Field& field);
  // The column and the record index of the current posted record; null column when the
  // current record is the one being appended or there is none.
  const Column* current_column(int position) const;

  std::string name_;
  std::vector<FieldDef> definitions_;
  std::vector<Field> fields_;
  std::vector<Column> columns_;
  std::size_t record_count_ = 0;
  Record appending_;
  State state_ = State::Closed;
  int current_ = -1;  // index of the current record, -1 for none
  bool eof_ = true;
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
