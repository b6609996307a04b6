#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/beneath.h"
#include "platform/text_source.h"

namespace unitcheck {

// A regular file opened for reading raw bytes. Opening or reading it fails with the Failure
// EFOpenError 'Unable to open file "PATH"', and so does opening anything but a regular file
// (a directory, a FIFO, a device, a reserved device name such as NUL or COM1 on Windows),
// following symbolic links, or a file of a kernel file system (/proc, /sys and the like).
class InputFile final : public TextSource {
 public:
  explicit InputFile(std::string path);
  // The file already opened beneath a data directory (BeneathDirectory::open_file); path names
  // it in the failure. A file that holds nothing fails as one that cannot be opened.
  InputFile(std::string path, OpenedFile file);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override;

  // Reads up to size bytes into buffer; 0 at the end of the file.
  std::size_t read(char* buffer, std::size_t size) override;
  std::size_t expected_rest() const override { return size_ > offset_ ? size_ - offset_ : 0; }
  const std::string& path() const { return path_; }
  // The size the file had when it was opened: where a whole read may expect it to end.
  std::size_t size_when_opened() const { return size_; }

 private:
  [[noreturn]] void fail() const;
  // Keeps handle_ when it is a regular file of a data file system; fails otherwise.
  void take_opened();

  std::string path_;
  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows HANDLE
  std::size_t size_ = 0;
  std::size_t offset_ = 0;  // bytes read so far
};

// The whole text of the file at path, read once. A file that cannot be read ends the run
// (EFOpenError).
std::string read_whole_file(std::string path);
// The whole text of an opened file, read from where it stands.
std::string read_whole_file(InputFile& file);

}  // namespace unitcheck
