#include "csv/line_chunks.h"

#include <algorithm>
#include <utility>

#include "platform/input_file.h"

namespace unitcheck {

UnitChunkReader::UnitChunkReader(std::unique_ptr<TextSource> source, std::size_t target)
    : source_(std::move(source)), target_(std::max<std::size_t>(target, 1)) {}

UnitChunkReader UnitChunkReader::from_file(std::string path, std::size_t target) {
  return UnitChunkReader(std::make_unique<InputFile>(std::move(path)), target);
}

UnitChunkReader UnitChunkReader::from_text(std::string_view text, std::size_t target) {
  return UnitChunkReader(std::make_unique<MemoryText>(text), target);
}

namespace {

// The least a chunk grows by for a line longer than it: a source that expects nothing more may
// still give more, and the read that finds its end needs room to be made.
constexpr std::size_t kLeastGrowth = std::size_t{64} << 10;

// The most bytes the line ends of a chunk of text_size bytes take after it.
std::size_t line_ends_room(std::size_t text_size) {
  return line_ends_offset(text_size) - text_size + sizeof kNoLineEnds +
         text_size / kBytesPerKeptLine * sizeof(LineBounds);
}

// Makes storage hold at least wanted bytes for text, with room for their line ends made ahead
// as capacity that stays untouched until they are kept: growing the string for them after the
// text would double its allocation, a chunk's size more memory for every chunk of the ring.
void make_room_for(std::string& storage, std::size_t wanted) {
  storage.reserve(wanted + line_ends_room(wanted));
  if (storage.size() < wanted) storage.resize(wanted);
}

}  // namespace

bool UnitChunkReader::next(std::string& storage, LineChunk& chunk) {
  std::size_t wanted = std::max(target_, carry_.size());
  make_room_for(storage, wanted);
  std::size_t used = carry_.copy(storage.data(), carry_.size());
  for (;;) {
    while (used < wanted && source_ != nullptr) {
      const std::size_t count = source_->read(storage.data() + used, wanted - used);
      if (count == 0) source_.reset();
      used += count;
    }
    const std::string_view text(storage.data(), used);
    UnitLines lines(text, source_ == nullptr);
    bounds_.clear();
    // Past this many lines none are kept: the list stays within a quarter of the text's size.
    const std::size_t most_kept = used <= kNoLineEnds ? used / kBytesPerKeptLine : 0;
    std::int64_t count = 0;
    for (std::string_view line; lines.next(line); ++count) {
      if (static_cast<std::size_t>(count) >= most_kept) continue;
      const auto end = static_cast<std::size_t>(line.data() - text.data()) + line.size();
      bounds_.push_back(LineBounds{static_cast<std::uint32_t>(end),
                                   static_cast<std::uint32_t>(lines.consumed())});
    }
    if (count > 0 || source_ == nullptr) {
      const std::size_t consumed = lines.consumed();
      carry_.assign(text.substr(consumed));
      keep_line_ends(storage, consumed, static_cast<std::size_t>(count) == bounds_.size());
      chunk = LineChunk{std::string_view(storage.data(), consumed), count};
      return count > 0;
    }
    // One line longer than the chunk so far: room for as much again, or for what the source
    // says is left when that is less, so that a line of most of a file is held in about its own
    // size (doubled, a line just past a power of two would take twice its size, and three
    // times while the text moves).
    wanted = used + std::max(std::min(used, source_->expected_rest()), kLeastGrowth);
    make_room_for(storage, wanted);
  }
}

void UnitChunkReader::keep_line_ends(std::string& storage, std::size_t consumed, bool kept) {
  const std::size_t offset = line_ends_offset(consumed);
  const std::size_t size =
      offset + sizeof kNoLineEnds + (kept ? bounds_.size() * sizeof(LineBounds) : 0);
  if (storage.size() < size) storage.resize(size);
  const std::uint32_t count = kept ? static_cast<std::uint32_t>(bounds_.size()) : kNoLineEnds;
  std::memcpy(storage.data() + offset, &count, sizeof count);
  if (kept && !bounds_.empty())
    std::memcpy(storage.data() + offset + sizeof count, bounds_.data(),
                bounds_.size() * sizeof(LineBounds));
}

}  // namespace unitcheck
