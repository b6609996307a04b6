#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace unitcheck::server {

// Where the server's bytes come from: standard input, or a test's text.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to buffer's size bytes, waiting for at least one; 0 at the end of input (or when
  // input cannot be read).
  virtual std::size_t read(std::span<char> buffer) = 0;
};

// Where they go: standard output for messages, standard error for the log.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes every byte, waiting while the reader is slow; false when they cannot be written.
  virtual bool write(std::string_view bytes) = 0;
};

// A file descriptor as a source or a sink. Writing to a pipe whose reader is gone fails rather
// than ending the process only when SIGPIPE is ignored: the program's main decides that.
class FdSource final : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}
  std::size_t read(std::span<char> buffer) override;

 private:
  int fd_;
};

class FdSink final : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool write(std::string_view bytes) override;

 private:
  int fd_;
};

}  // namespace unitcheck::server
