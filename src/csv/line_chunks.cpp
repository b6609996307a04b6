#include "csv/line_chunks.h"

#include <algorithm>
#include <utility>

namespace unitcheck {

UnitChunkReader::UnitChunkReader(std::string path, std::size_t target)
    : file_(std::make_unique<InputFile>(std::move(path))),
      target_(std::max<std::size_t>(target, 1)) {}

bool UnitChunkReader::next(std::string& storage, LineChunk& chunk) {
  std::size_t wanted = std::max(target_, carry_.size());
  if (storage.size() < wanted) storage.resize(wanted);
  std::size_t used = carry_.copy(storage.data(), carry_.size());
  for (;;) {
    while (used < wanted && file_ != nullptr) {
      const std::size_t count = file_->read(storage.data() + used, wanted - used);
      if (count == 0) file_.reset();
      used += count;
    }
    const std::string_view text(storage.data(), used);
    UnitLines lines(text, file_ == nullptr);
    std::int64_t count = 0;
    for (std::string_view line; lines.next(line);) ++count;
    if (count > 0 || file_ == nullptr) {
      carry_.assign(text.substr(lines.consumed()));
      chunk = LineChunk{text.substr(0, lines.consumed()), count};
      return count > 0;
    }
    wanted = used * 2;  // one line longer than the chunk so far
    if (storage.size() < wanted) storage.resize(wanted);
  }
}

}  // namespace unitcheck
