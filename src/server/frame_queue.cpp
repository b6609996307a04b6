#include "server/frame_queue.h"

#include <iterator>
#include <utility>

namespace unitcheck::server {

std::size_t queued_size(const Frame& frame) {
  return sizeof(Frame) + frame.body.size() + frame.detail.size();
}

bool FrameQueue::put(std::vector<Frame> frames) {
  std::size_t size = 0;
  for (const Frame& frame : frames) size += queued_size(frame);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stopped_ || bytes_ <= max_bytes_ || frames_.empty(); });
  if (stopped_) return false;
  std::move(frames.begin(), frames.end(), std::back_inserter(frames_));
  bytes_ += size;
  changed_.notify_all();
  return true;
}

void FrameQueue::close() {
  const std::lock_guard lock(mutex_);
  closed_ = true;
  changed_.notify_all();
}

void FrameQueue::stop() {
  const std::lock_guard lock(mutex_);
  stopped_ = true;
  frames_.clear();
  bytes_ = 0;
  changed_.notify_all();
}

std::vector<Frame> FrameQueue::take(bool wait) {
  std::unique_lock lock(mutex_);
  if (wait) changed_.wait(lock, [&] { return closed_ || stopped_ || !frames_.empty(); });
  std::vector<Frame> taken(std::make_move_iterator(frames_.begin()),
                           std::make_move_iterator(frames_.end()));
  frames_.clear();
  bytes_ = 0;
  changed_.notify_all();
  return taken;
}

bool FrameQueue::ended() {
  const std::lock_guard lock(mutex_);
  return (closed_ || stopped_) && frames_.empty();
}

}  // namespace unitcheck::server
