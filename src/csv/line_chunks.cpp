#include "csv/line_chunks.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "csv/line_reader.h"

namespace unitcheck {

namespace {

std::size_t count_byte(std::string_view text, char c) {
  std::size_t count = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (const void* hit = std::memchr(p, c, static_cast<std::size_t>(end - p))) {
    ++count;
    p = static_cast<const char*>(hit) + 1;
  }
  return count;
}

// Where a chunk of text may end: after its last LF, else after its last CR whose next byte is
// read already (and so is not a LF), else at the end of the file. 0 when none is found yet.
std::size_t chunk_cut(std::string_view text, bool at_file_end) {
  if (at_file_end) return text.size();
  const std::size_t lf = text.rfind('\n');
  if (lf != std::string_view::npos) return lf + 1;
  if (text.size() < 2) return 0;
  const std::size_t cr = text.rfind('\r', text.size() - 2);
  return cr == std::string_view::npos ? 0 : cr + 1;
}

}  // namespace

std::int64_t count_unit_lines(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t lines = count_byte(text, '\n');
  for (std::size_t i = text.find('\r'); i != std::string_view::npos; i = text.find('\r', i + 1))
    if (i + 1 == text.size() || text[i + 1] != '\n') ++lines;
  const char last = text.back();
  if (last != '\n' && last != '\r') ++lines;
  return static_cast<std::int64_t>(lines);
}

UnitChunkReader::UnitChunkReader(UnitLineReader& reader, std::size_t target)
    : file_(reader.release(carry_)),  // carry_ is declared, and so built, first
      target_(std::max<std::size_t>(target, 1)) {}

bool UnitChunkReader::next(std::string& storage, std::string_view& lines) {
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
    const std::size_t cut = chunk_cut(text, file_ == nullptr);
    if (cut > 0 || file_ == nullptr) {
      carry_.assign(text.substr(cut));
      lines = text.substr(0, cut);
      return cut > 0;
    }
    wanted = used * 2;  // one line longer than the chunk so far
    if (storage.size() < wanted) storage.resize(wanted);
  }
}

}  // namespace unitcheck
