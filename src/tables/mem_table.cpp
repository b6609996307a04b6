#include "tables/mem_table.h"

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
  records_.clear();
  current_ = -1;
  eof_ = true;
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
  records_.clear();
  current_ = -1;
  eof_ = true;
}

void MemTable::require_active() const {
  if (state_ == State::Closed)
    database_error("Operation cannot be performed on an inactive dataset");
}

void MemTable::append() {
  require_active();
  appending_.assign(fields_.size(), Value{});
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

void MemTable::post() {
  if (state_ != State::Appending)
    database_error(name_ + " : Operation not allowed, dataset \"" + name_ +
                   "\" is not in an edit or insert state.");
  records_.push_back(std::move(appending_));
  appending_.clear();
  state_ = State::Browsing;
  current_ = static_cast<int>(records_.size()) - 1;
  eof_ = false;
}

void MemTable::first() {
  require_active();
  current_ = records_.empty() ? -1 : 0;
  eof_ = records_.empty();
}

void MemTable::next() {
  require_active();
  if (current_ + 1 < static_cast<int>(records_.size())) {
    ++current_;
  } else {
    eof_ = true;
  }
}

int MemTable::record_count() const {
  require_active();
  return static_cast<int>(records_.size());
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

const MemTable::Value* MemTable::current_value(int position) const {
  const std::size_t index = static_cast<std::size_t>(position);
  if (state_ == State::Appending) return &appending_.at(index);
  if (current_ < 0) return nullptr;
  return &records_[static_cast<std::size_t>(current_)].at(index);
}

std::string_view MemTable::text_at(int position) const {
  const Value* value = current_value(position);
  return value == nullptr || value->is_null ? std::string_view() : std::string_view(value->text);
}

bool MemTable::is_null_at(int position) const {
  const Value* value = current_value(position);
  return value == nullptr || value->is_null;
}

std::int64_t MemTable::int64_at(int position) const {
  const Value* value = current_value(position);
  return value == nullptr ? 0 : value->integer;
}

double MemTable::float_at(int position) const {
  const Value* value = current_value(position);
  return value == nullptr ? 0 : value->real;
}

bool MemTable::boolean_at(int position) const {
  const Value* value = current_value(position);
  return value != nullptr && value->boolean;
}

}  // namespace unitcheck
