#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace unitcheck {

// Bytes read in order from wherever they are: a file (InputFile), or a text held in memory, such
// as an editor's unsaved document (MemoryText). The readers above take either, so that a text
// is checked the same way whichever it comes from.
class TextSource {
 public:
  virtual ~TextSource() = default;
  // Reads up to size bytes into buffer; 0 at the end.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // How many bytes the reads are expected still to give: a hint for sizing a buffer (a file may
  // grow while it is read), never a limit.
  virtual std::size_t expected_rest() const = 0;
};

// A text in memory, read from its start. It keeps a view: the text outlives the reads.
class MemoryText final : public TextSource {
 public:
  explicit MemoryText(std::string_view text) : rest_(text) {}

  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, rest_.size());
    if (count != 0) std::memcpy(buffer, rest_.data(), count);
    rest_.remove_prefix(count);
    return count;
  }
  std::size_t expected_rest() const override { return rest_.size(); }

 private:
  std::string_view rest_;  // not read yet
};

}  // namespace unitcheck
