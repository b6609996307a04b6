#include "tables/mem_table.h"

#include <algorithm>
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

Field::Field(const FieldDef& def, int position)
    : name_(def.name), type_(def.type), size_(def.size), position_(position) {}

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
      fields_.emplace_back(def, static_cast<int>(fields_.size()));
    }
  }
  state_ = State::Browsing;
}

void MemTable::clear_records() {
  columns_.clear();
  record_count_ = 0;
}

void MemTable::reserve(std::size_t records, std::size_t text_bytes) {
  const std::size_t total = record_count_ + records;
  columns_.resize(fields_.size());
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    Column& column = columns_[i];
    if (fields_[i].type() != FieldType::Text) continue;
    column.text_starts.reserve(total);
    // Room for the longest texts possible: the pages that shorter ones leave untouched cost
    // nothing.
    const std::size_t full_size = records * static_cast<std::size_t>(fields_[i].size());
    column.texts.reserve(column.texts.size() + std::min(full_size, text_bytes));
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
  }
  state_ = State::Appending;
}

void MemTable::set_text(const Field& field, std::string_view text) {
  if (state_ != State::Appending)
    database_error(name_ + " : Operation not allowed, dataset \"" + name_ +
                   "\" is not in an edit or insert state.");
  Value& value = appending_.at(static_cast<std::size_t>(field.position()));
  value.is_null = false;
  // A stored text ends at its first zero byte and never exceeds the declared size.
  text = text.substr(0, text.find('\0'));
  value.text.assign(text.substr(0, static_cast<std::size_t>(field.size())));
}

void MemTable::Column::push_null(bool null, std::size_t record) {
  if (record == 0) uniform_null = null;
  if (nulls.empty() && null == uniform_null) return;
  if (nulls.empty()) nulls.assign(record, uniform_null ? 1 : 0);
  nulls.push_back(null ? 1 : 0);
}

void MemTable::post() {
  if (state_ != State::Appending)
    database_error(name_ + " : Operation not allowed, dataset \"" + name_ +
                   "\" is not in an edit or insert state.");
  if (columns_.size() != fields_.size()) columns_.resize(fields_.size());
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].type() != FieldType::Text) continue;
    Column& column = columns_[i];
    const Value& value = appending_[i];
    column.push_null(value.is_null, record_count_);
    column.text_starts.push_back(column.texts.size());
    column.texts.append(value.text);
  }
  ++record_count_;
  state_ = State::Browsing;
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

}  // namespace unitcheck
