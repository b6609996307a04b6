#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

namespace unitcheck {

// One checking thread's unit directories, each a record in one arena: the Directory cell, its
// answer, and the answers for the meshes looked for in it, end to end. Slots of eight bytes (a
// fingerprint of the cell's hash and the record's place) find the records. A line's directory
// and its meshes then touch one slot and the first lines of one record, and both can be fetched
// before the line is checked (fetch_slot, then fetch_record).
class DirectoryRecords {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  static std::uint64_t hash(std::string_view directory);

  // The record of directory (whose hash is given), or kNone.
  std::uint32_t find(std::string_view directory, std::uint64_t hash) const;
  // Adds the record of a directory that find does not know.
  std::uint32_t add(std::string_view directory, std::uint64_t hash, bool exists);

  bool exists(std::uint32_t record) const { return head(record).exists != 0; }
  std::string_view directory(std::uint32_t record) const;
  // The answer kept for file in the record: 1 or 0, or -1 when there is none.
  int mesh_answer(std::uint32_t record, std::string_view file) const;
  // Keeps the answer for file (of at most 65,535 bytes), after the record's others; past
  // max_meshes its list starts afresh. The record may move to make room: record follows it.
  void add_mesh(std::uint32_t& record, std::string_view file, bool answer,
                std::uint32_t max_meshes);

  // Starts fetching the slot that find will read for hash.
  void fetch_slot(std::uint64_t hash) const;
  // Starts fetching the record that the slot for hash names: when its slot has arrived.
  void fetch_record(std::uint64_t hash) const;

  std::size_t size() const { return count_; }
  std::size_t mesh_count() const { return mesh_count_; }
  std::size_t bytes() const { return arena_.size(); }
  void clear();

 private:
  struct Head {
    std::uint32_t name_size;  // the cell's bytes follow the head
    std::uint32_t room;       // bytes for mesh answers after the name
    std::uint32_t used;       // of the room
    std::uint16_t meshes;     // answers kept
    std::uint8_t exists;
    std::uint8_t unused = 0;
  };
  // Copied in and out of the arena byte for byte, at any alignment.
  static_assert(sizeof(Head) == 16 && std::is_trivially_copyable_v<Head>);

  Head head(std::uint32_t record) const;
  void set_head(std::uint32_t record, const Head& head);
  // Copies the record to the arena's end with room for at least `room` bytes of answers, and
  // points its slot there.
  std::uint32_t move_record(std::uint32_t record, std::uint32_t room);
  // The slot of the record with this hash and place, or the empty slot where it goes.
  std::size_t slot_of(std::uint64_t hash, std::uint32_t record) const;

  std::vector<std::uint64_t> slots_;  // fingerprint << 32 | record; 0 for none
  std::vector<char> arena_;
  std::size_t count_ = 0;
  std::size_t mesh_count_ = 0;  // over every record
  std::size_t mask_ = 0;
};

}  // namespace unitcheck
