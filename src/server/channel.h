#pragma once

#include <atomic>
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
  // Called from another thread when the server stops: wakes a read that waits, and makes later
  // reads return 0. A source whose reads never wait (a test's text) has nothing to do.
  virtual void interrupt() {}
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
// A source waits in poll on its descriptor and on a pipe of its own, which interrupt writes to:
// the server's exit does not wait for the client's next byte.
class FdSource final : public ByteSource {
 public:
  explicit FdSource(int fd);
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;
  ~FdSource() override;
  std::size_t read(std::span<char> buffer) override;
  void interrupt() override;

 private:
  int fd_;
  int wake_[2] = {-1, -1};  // read end, write end; -1 when no pipe could be made
  std::atomic<bool> interrupted_ = false;
};

class FdSink final : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool write(std::string_view bytes) override;

 private:
  int fd_;
};

}  // namespace unitcheck::server
