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

Field::Field(const FieldDef& def, int position)
    : name_(def.name), type_(def.type), size_(def.size), position_(position) {}

void MemTable::add_field_def(std::string name, FieldType type, int size, bool required) {
  if (name.empty()) database_error("Field needs a name");
  definitions_.push_back(FieldDef{std::move(name), type, size, required});
}

void MemTable::open() {
  if (!fields_.empty()) return;
  fields_.reserve(definitions_.size());
  for (const FieldDef& def : definitions_) {
    if (def.type == FieldType::Text && def.size > kMaxTextSize)
      database_error("Invalid field size : " + int_to_text(def.size));
    fields_.emplace_back(def, static_cast<int>(fields_.size()));
  }
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
