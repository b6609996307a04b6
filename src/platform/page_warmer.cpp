#include "platform/page_warmer.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "platform/page_memory.h"

namespace unitcheck {
namespace {

// The most made ready in one round, so that end() waits for little.
constexpr std::size_t kRoundBytes = std::size_t{1} << 20;

}  // namespace

PageWarmer::~PageWarmer() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PageWarmer::begin(char* data, std::size_t size) {
  end();
  const std::lock_guard lock(mutex_);
  if (!works_) return;
  data_ = data;
  size_ = size;
  warm_ = 0;
  limit_ = 0;
  if (thread_.joinable()) return;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (const std::system_error&) {
    // No thread to be had (a small address space, a limit on processes): the writer takes its
    // own faults, as without a warmer.
    works_ = false;
    data_ = nullptr;
  }
}

void PageWarmer::filled(std::size_t filled) {
  {
    const std::lock_guard lock(mutex_);
    if (data_ == nullptr) return;
    // Pages the writer has reached are its own already.
    warm_ = std::max(warm_, std::min(filled, size_));
    limit_ = std::min(size_, filled + window_);
    if (warm_ >= limit_) return;
  }
  wake_.notify_one();
}

void PageWarmer::end() {
  std::unique_lock lock(mutex_);
  data_ = nullptr;
  rested_.wait(lock, [this] { return !busy_; });
}

bool PageWarmer::works() const {
  const std::lock_guard lock(mutex_);
  return works_;
}

void PageWarmer::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || (data_ != nullptr && warm_ < limit_); });
    if (stopping_) return;
    char* const begin = data_ + warm_;
    const std::size_t bytes = std::min(limit_ - warm_, kRoundBytes);
    warm_ += bytes;
    busy_ = true;
    lock.unlock();
    const bool worked = populate_for_writing(begin, begin + bytes);
    lock.lock();
    busy_ = false;
    if (!worked) {
      works_ = false;
      data_ = nullptr;
    }
    rested_.notify_all();
  }
}

}  // namespace unitcheck
