#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "server/message_reader.h"

namespace unitcheck::server {

// The bytes of frames that may wait for the server's thread: past this, the reader stops
// reading until the server takes them. One frame is always let in, so a body larger than this
// (up to the reader's own limit) still passes.
inline constexpr std::size_t kMaxQueuedBytes = std::size_t{16} << 20;  // 16 MiB

// The frames read from the client and not yet taken by the server, between the thread that
// reads and the one that handles them. Bounded in bytes: a client that writes without end while
// the server is busy (or its output blocked) fills the queue, and then the reader waits, and
// the client's writes block in turn.
class FrameQueue {
 public:
  explicit FrameQueue(std::size_t max_bytes = kMaxQueuedBytes) : max_bytes_(max_bytes) {}

  // Adds the frames of one read together, so that the server never takes half of them; waits
  // while the queue holds more than its bound. False once stopped (the frames are dropped).
  bool put(std::vector<Frame> frames);
  // The input ended: once the frames queued are taken, take returns none and ended() is true.
  void close();
  // The server takes no more: put returns false from now on, and a waiting put wakes.
  void stop();

  // Every frame queued now, in the order read. With wait, waits for one unless the input ended.
  std::vector<Frame> take(bool wait);
  // True when the input ended and every frame was taken.
  bool ended();

 private:
  const std::size_t max_bytes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Frame> frames_;
  std::size_t bytes_ = 0;
  bool closed_ = false;
  bool stopped_ = false;
};

// What a frame weighs in the queue: its body and words, and a fixed share for the frame itself,
// so that a flood of empty messages is bounded too.
std::size_t queued_size(const Frame& frame);

}  // namespace unitcheck::server
