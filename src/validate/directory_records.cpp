#include "validate/directory_records.h"

#include <algorithm>
#include <cstring>

#include "tables/fingerprint_slots.h"
#include "tables/text_map.h"

namespace unitcheck {

namespace {

// A mesh answer in a record: the name's length (two bytes), the answer (one byte), the name.
constexpr std::size_t kMeshHead = 3;
// The room a new record has for mesh answers: a few usual names, so that most records never
// move, and a record of a short cell fills two cache lines.
constexpr std::uint32_t kFirstRoom = 96;

// A slot: the hash's high half (bit 32 set, so that no slot is 0) above the record's place. Its
// home is read from the hash's bits 33 and up, as fingerprint_slots.h does.
std::uint64_t slot_value(std::uint64_t hash, std::uint32_t record) {
  return ((hash >> 32) | 1) << 32 | record;
}

std::uint32_t record_of(std::uint64_t slot) {
  return static_cast<std::uint32_t>(slot);
}

bool same_fingerprint(std::uint64_t slot, std::uint64_t hash) {
  return slot >> 32 == ((hash >> 32) | 1);
}

}  // namespace

std::uint64_t DirectoryRecords::hash(std::string_view directory) {
  return hash_text(directory);
}

DirectoryRecords::Head DirectoryRecords::head(std::uint32_t record) const {
  Head head;
  std::memcpy(&head, arena_.data() + record, sizeof head);
  return head;
}

void DirectoryRecords::set_head(std::uint32_t record, const Head& head) {
  std::memcpy(arena_.data() + record, &head, sizeof head);
}

std::string_view DirectoryRecords::directory(std::uint32_t record) const {
  return std::string_view(arena_.data() + record + sizeof(Head), head(record).name_size);
}

std::uint32_t DirectoryRecords::find(std::string_view directory, std::uint64_t hash) const {
  if (slots_.empty()) return kNone;
  for (std::size_t i = home_slot(hash, mask_);; i = (i + 1) & mask_) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) return kNone;
    if (same_fingerprint(slot, hash) && same_bytes(this->directory(record_of(slot)), directory))
      return record_of(slot);
  }
}

std::uint32_t DirectoryRecords::add(std::string_view directory, std::uint64_t hash, bool exists) {
  if ((count_ + 1) * 2 > slots_.size()) grow_slots(slots_, mask_);
  const auto record = static_cast<std::uint32_t>(arena_.size());
  const Head head{static_cast<std::uint32_t>(directory.size()), kFirstRoom, 0, 0,
                  static_cast<std::uint8_t>(exists)};
  arena_.resize(arena_.size() + sizeof head + directory.size() + kFirstRoom);
  set_head(record, head);
  if (!directory.empty())
    std::memcpy(arena_.data() + record + sizeof head, directory.data(), directory.size());
  slots_[slot_of(hash, kNone)] = slot_value(hash, record);
  ++count_;
  return record;
}

int DirectoryRecords::mesh_answer(std::uint32_t record, std::string_view file) const {
  const Head head = this->head(record);
  const char* p = arena_.data() + record + sizeof head + head.name_size;
  const char* const end = p + head.used;
  while (p != end) {
    std::uint16_t size;
    std::memcpy(&size, p, sizeof size);
    const char* const name = p + kMeshHead;
    if (size == file.size() && same_bytes(std::string_view(name, size), file)) return p[2];
    p = name + size;
  }
  return -1;
}

void DirectoryRecords::add_mesh(std::uint32_t& record, std::string_view file, bool answer,
                                std::uint32_t max_meshes) {
  Head head = this->head(record);
  if (head.meshes >= max_meshes) {
    mesh_count_ -= head.meshes;
    head.meshes = 0;
    head.used = 0;
  }
  const auto entry = static_cast<std::uint32_t>(kMeshHead + file.size());
  if (head.used + entry > head.room) {
    set_head(record, head);
    record = move_record(record, std::max(head.room * 2, head.used + entry));
    head = this->head(record);
  }
  char* p = arena_.data() + record + sizeof head + head.name_size + head.used;
  const auto size = static_cast<std::uint16_t>(file.size());
  std::memcpy(p, &size, sizeof size);
  p[2] = answer ? 1 : 0;
  if (!file.empty()) std::memcpy(p + kMeshHead, file.data(), file.size());
  head.used += entry;
  ++head.meshes;
  ++mesh_count_;
  set_head(record, head);
}

std::uint32_t DirectoryRecords::move_record(std::uint32_t record, std::uint32_t room) {
  Head head = this->head(record);
  const std::size_t kept = sizeof head + head.name_size + head.used;
  const auto moved = static_cast<std::uint32_t>(arena_.size());
  arena_.resize(arena_.size() + sizeof head + head.name_size + room);
  std::memcpy(arena_.data() + moved, arena_.data() + record, kept);
  head.room = room;
  set_head(moved, head);
  const std::uint64_t hash = hash_text(directory(moved));
  slots_[slot_of(hash, record)] = slot_value(hash, moved);
  return moved;
}

std::size_t DirectoryRecords::slot_of(std::uint64_t hash, std::uint32_t record) const {
  for (std::size_t i = home_slot(hash, mask_);; i = (i + 1) & mask_)
    if (slots_[i] == 0 || (record != kNone && record_of(slots_[i]) == record)) return i;
}

void DirectoryRecords::fetch_slot(std::uint64_t hash) const {
  if (!slots_.empty()) __builtin_prefetch(&slots_[home_slot(hash, mask_)]);
}

void DirectoryRecords::fetch_record(std::uint64_t hash) const {
  if (slots_.empty()) return;
  const std::uint64_t slot = slots_[home_slot(hash, mask_)];
  if (slot == 0 || !same_fingerprint(slot, hash)) return;
  // A record of a short cell with half a dozen mesh answers spans up to four cache lines.
  const char* record = arena_.data() + record_of(slot);
  for (int line = 0; line < 4; ++line) __builtin_prefetch(record + 64 * line);
}

void DirectoryRecords::clear() {
  slots_.clear();
  arena_.clear();
  count_ = 0;
  mesh_count_ = 0;
  mask_ = 0;
}

}  // namespace unitcheck
