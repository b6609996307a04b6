#include "tables/mem_table.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "platform/failure.h"
#include "tables/convert.h"

namespace unitcheck {

namespace {

constexpr int kMaxTextSize = 8192;

char upper_ascii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names are compared with the letters a to z folded to capitals; every other byte is exact.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper_ascii(a[i]) != upper_ascii(b[i])) return false;
  return true;
}

[[noreturn]] void database_error(std::string message) {
  throw Failure("EDatabaseError", std::move(message));
}

}  // namespace

Field::Field(const MemTable& table, const FieldDef& def, int position)
    : table_(&table), name_(def.name), type_(def.type), size_(def.size), position_(position) {}

int Field::data_size() const {
  switch (type_) {
    case FieldType::Text:
      return size_ + 1;
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

std::string_view Field::as_text() const {
  return table_->text_at(position_);
}

void MemTable::add_field_def(std::string name, FieldType type, int size, bool required) {
  if (name.empty()) database_error("Field needs a name");
  definitions_.push_back(FieldDef{std::move(name), type, size, required});
}

void MemTable::create_storage() {
  clear_records();
}

void MemTable::open() {
  if (state_ != State::Closed) return;
  if (fields_.empty()) {
    fields_.reserve(definitions_.size());
    for (const FieldDef& def : definitions_) {
      if (def.type == FieldType::Text && def.size > kMaxTextSize)
        database_error("Invalid field size : " + int_to_text(def.size));
      fields_.emplace_back(*this, def, static_cast<int>(fields_.size()));
    }
  }
  state_ = State::Browsing;
  first();
}

void MemTable::clear_records() {
  columns_.clear();
  record_count_ = 0;
  current_ = -1;
  eof_ = true;
}

void MemTable::reserve(std::size_t records, std::size_t text_bytes) {
  const std::size_t total = record_count_ + records;
  columns_.resize(fields_.size());
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    Column& column = columns_[i];
    if (fields_[i].type() == FieldType::Text) {
      column.text_starts.reserve(total);
      // Room for the longest texts possible: the pages that shorter ones leave untouched cost
      // nothing.
      const std::size_t full_size = records * static_cast<std::size_t>(fields_[i].size());
      column.texts.reserve(column.texts.size() + std::min(full_size, text_bytes));
    } else {
      column.scalars.reserve(total);
    }
  }
}

void MemTable::require_active() const {
  if (state_ == State::Closed)
    database_error("Operation cannot be performed on an inactive dataset");
}

void MemTable::append() {
  require_active();
  // The values are reset rather than made anew, so their texts keep their capacity.
  appending_.resize(fields_.size());
  for (Value& value : appending_) {
    value.is_null = true;
    value.text.clear();
    value.integer = 0;
    value.real = 0;
    value.boolean = false;
  }
  state_ = State::Appending;
}

MemTable::Value& MemTable::appended_value(const Field& field) {
  if (state_ != State::Appending)
    database_error(name_ + " : Operation not allowed, dataset \"" + name_ +
                   "\" is not in an edit or insert state.");
  Value& value = appending_.at(static_cast<std::size_t>(field.position()));
  value.is_null = false;
  return value;
}

void MemTable::set_text(const Field& field, std::string_view text) {
  Value& value = appended_value(field);
  // A stored text ends at its first zero byte and never exceeds the declared size.
  text = text.substr(0, text.find('\0'));
  value.text.assign(text.substr(0, static_cast<std::size_t>(field.size())));
}

void MemTable::set_boolean(const Field& field, bool v) {
  appended_value(field).boolean = v;
}
void MemTable::set_float(const Field& field, double v) {
  appended_value(field).real = v;
}
void MemTable::set_int64(const Field& field, std::int64_t v) {
  appended_value(field).integer = v;
}

void MemTable::Column::push_null(bool null, std::size_t record) {
  if (record == 0) uniform_null = null;
  if (nulls.empty() && null == uniform_null) return;
  if (nulls.empty()) nulls.assign(record, uniform_null ? 1 : 0);
  nulls.push_back(null ? 1 : 0);
}

void MemTable::Column::push_scalar(std::uint64_t bits, std::size_t record) {
  if (scalars.empty() && bits == 0) return;
  if (scalars.size() < record) scalars.resize(record, 0);
  scalars.push_back(bits);
}

void MemTable::post() {
  if (state_ != State::Appending)
    database_error(name_ + " : Operation not allowed, dataset \"" + name_ +
                   "\" is not in an edit or insert state.");
  if (columns_.size() != fields_.size()) columns_.resize(fields_.size());
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    Column& column = columns_[i];
    const Value& value = appending_[i];
    column.push_null(value.is_null, record_count_);
    switch (fields_[i].type()) {
      case FieldType::Text:
        column.text_starts.push_back(column.texts.size());
        column.texts.append(value.text);
        break;
      case FieldType::Float:
        column.push_scalar(std::bit_cast<std::uint64_t>(value.real), record_count_);
        break;
      case FieldType::Boolean:
        column.push_scalar(value.boolean ? 1 : 0, record_count_);
        break;
      case FieldType::Integer:
      case FieldType::Int64:
        column.push_scalar(static_cast<std::uint64_t>(value.integer), record_count_);
        break;
    }
  }
  ++record_count_;
  state_ = State::Browsing;
  current_ = static_cast<int>(record_count_) - 1;
  eof_ = false;
}

void MemTable::first() {
  require_active();
  current_ = record_count_ == 0 ? -1 : 0;
  eof_ = record_count_ == 0;
}

void MemTable::next() {
  require_active();
  if (static_cast<std::size_t>(current_ + 1) < record_count_) {
    ++current_;
  } else {
    eof_ = true;
  }
}

int MemTable::record_count() const {
  require_active();
  return static_cast<int>(record_count_);
}

const Field& MemTable::field_at(int position) const {
  if (position < 0 || position >= field_count())
    throw Failure("EListError", "List index (" + int_to_text(position) + ") out of bounds");
  return fields_[static_cast<std::size_t>(position)];
}

const Field* MemTable::find_field(std::string_view name) const {
  for (const Field& field : fields_)
    if (same_name(field.name(), name)) return &field;
  return nullptr;
}

const Field& MemTable::field_by_name(std::string_view name) const {
  if (const Field* field = find_field(name)) return *field;
  database_error(name_ + " : Field not found : \"" + std::string(name) + "\"");
}

const MemTable::Column* MemTable::current_column(int position) const {
  if (state_ == State::Appending || current_ < 0) return nullptr;
  return &columns_.at(static_cast<std::size_t>(position));
}

std::string_view MemTable::text_at(int position) const {
  if (state_ == State::Appending) {
    const Value& value = appending_.at(static_cast<std::size_t>(position));
    return value.is_null ? std::string_view() : std::string_view(value.text);
  }
  const Column* column = current_column(position);
  const auto record = static_cast<std::size_t>(current_);
  if (column == nullptr || column->is_null(record) || column->text_starts.empty()) return {};
  const std::size_t start = column->text_starts[record];
  const std::size_t end = record + 1 < column->text_starts.size() ? column->text_starts[record + 1]
                                                                  : column->texts.size();
  return std::string_view(column->texts).substr(start, end - start);
}

bool MemTable::is_null_at(int position) const {
  if (state_ == State::Appending) return appending_.at(static_cast<std::size_t>(position)).is_null;
  const Column* column = current_column(position);
  return column == nullptr || column->is_null(static_cast<std::size_t>(current_));
}

std::int64_t MemTable::int64_at(int position) const {
  if (state_ == State::Appending) return appending_.at(static_cast<std::size_t>(position)).integer;
  const Column* column = current_column(position);
  if (column == nullptr || column->scalars.empty()) return 0;
  return static_cast<std::int64_t>(column->scalars[static_cast<std::size_t>(current_)]);
}

double MemTable::float_at(int position) const {
  if (state_ == State::Appending) return appending_.at(static_cast<std::size_t>(position)).real;
  const Column* column = current_column(position);
  if (column == nullptr || column->scalars.empty()) return 0;
  return std::bit_cast<double>(column->scalars[static_cast<std::size_t>(current_)]);
}

}  // namespace unitcheck
