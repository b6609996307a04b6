#include "platform/input_file.h"

#include <utility>

#include "platform/failure.h"

namespace unitcheck {

std::string read_whole_file(std::string path) {
  InputFile file(std::move(path));
  return read_whole_file(file);
}

std::string read_whole_file(InputFile& file) {
  // One byte more than the size, so that the read that finds the end needs no growth; a file
  // that grows while it is read grows the text.
  std::string text(file.size_when_opened() + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == text.size()) text.resize(text.size() * 2);
    const std::size_t count = file.read(text.data() + used, text.size() - used);
    if (count == 0) break;
    used += count;
  }
  text.resize(used);
  return text;
}

void InputFile::fail() const {
  throw Failure("EFOpenError", "Unable to open file \"" + path_ + "\"");
}

}  // namespace unitcheck
