#pragma once

// Tested by tests/platform/page_warmer_test.cpp (the bytes written are kept, the window ahead
// and no more is made ready, no thread to be had) and, for races, by the same tests under
// ThreadSanitizer.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace unitcheck {

// How far ahead of the bytes filled the pages are made ready.
inline constexpr std::size_t kWarmWindow = std::size_t{4} << 20;  // 4 MiB

// Makes the pages of a buffer ready for writing a window ahead of the thread that fills it, on a
// thread of its own. A fresh buffer of tens of megabytes costs the thread that fills it a page
// fault every 4 KiB, the kernel clearing each page on the way: reading a 69 MB message body
// from a pipe took about 46 ms, of which the copying alone took 20. With the faults taken here,
// beside the copying, the reading takes the 20.
//
// Pages are made ready by the kernel (madvise MADV_POPULATE_WRITE), which never changes a byte
// already written, so the filling thread needs no lock against this one. Where the kernel has no
// such call (before Linux 5.14), nothing is done. Memory stays within the bytes filled and the
// window.
class PageWarmer {
 public:
  explicit PageWarmer(std::size_t window = kWarmWindow) : window_(window) {}
  PageWarmer(const PageWarmer&) = delete;
  PageWarmer& operator=(const PageWarmer&) = delete;
  ~PageWarmer();

  // From now on the buffer [data, data + size) is filled from its start; ends the one before.
  void begin(char* data, std::size_t size);
  // The buffer is filled below filled: its pages up to filled + window are made ready.
  void filled(std::size_t filled);
  // Returns once no page of the buffer is being made ready: it may then be freed.
  void end();

  // False once the kernel refused to make pages ready: the warmer then does nothing.
  bool works() const;

 private:
  void run();

  const std::size_t window_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;    // work, or stopping
  std::condition_variable rested_;  // a round of warming is over
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t warm_ = 0;   // bytes of the buffer whose pages are ready (or were written)
  std::size_t limit_ = 0;  // bytes of the buffer whose pages should be
  bool busy_ = false;      // a round is under way outside the lock
  bool works_ = true;
  bool stopping_ = false;
  std::thread thread_;  // started with the first buffer
};

}  // namespace unitcheck
