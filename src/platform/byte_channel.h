#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string_view>

namespace unitcheck {

// Where a program's bytes come from: standard input, or a test's text.
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

// A file descriptor as a source or a sink, its bytes as they are (on Windows the descriptor's
// handle is read and written, never translating line ends). Writing to a pipe whose reader is
// gone fails rather than ending the process only when SIGPIPE is ignored
// (ignore_broken_pipe_signal). On POSIX systems a source waits in poll on its descriptor and on
// a pipe of its own, which interrupt writes to; on Windows interrupt cancels the waiting read.
// Either way the server's exit does not wait for the client's next byte.
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
  // POSIX: the wake pipe's read end and write end, -1 when none could be made.
  // Windows: a handle of the thread in a read, and whether one is under way.
  std::intptr_t wake_[2] = {-1, -1};
  std::atomic<bool> interrupted_ = false;
  std::mutex reading_;  // held while wake_ is changed or used
};

class FdSink final : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool write(std::string_view bytes) override;

 private:
  int fd_;
};

}  // namespace unitcheck
