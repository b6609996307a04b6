#pragma once

#include <cstddef>
#include <string>

namespace unitcheck {

// A regular file opened for reading raw bytes. Opening or reading it fails with the Failure
// EFOpenError 'Unable to open file "PATH"', and so does opening anything but a regular file
// (a directory, a FIFO, a device), following symbolic links, or a file of a kernel file system
// (/proc, /sys and the like).
class InputFile {
 public:
  explicit InputFile(std::string path);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Reads up to size bytes into buffer; 0 at the end of the file.
  std::size_t read(char* buffer, std::size_t size);
  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void fail() const;

  std::string path_;
  int fd_ = -1;
};

}  // namespace unitcheck
