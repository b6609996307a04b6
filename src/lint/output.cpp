#include "lint/output.h"

#include <cerrno>

namespace unitcheck::lint {

void FileOutput::write(std::string_view text) {
  if (failed_ || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) note_failure();
}

bool FileOutput::failed() {
  if (!failed_ && (std::fflush(file_) != 0 || std::ferror(file_) != 0)) note_failure();
  return failed_;
}

void FileOutput::note_failure() {
  failed_ = true;
  error_number_ = errno;
}

}  // namespace unitcheck::lint
