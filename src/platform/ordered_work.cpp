#include "platform/ordered_work.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace unitcheck {

namespace {

// Thrown through process when the run stops while a worker waits to hand over its output.
struct Stopped {};

struct Slot {
  WorkChunk chunk;
  bool finished = false;  // processed, waiting to be consumed; read and taken are counted
  std::exception_ptr failure;
};

// A ring of slots: the calling thread fills them in order, workers take them in order, and the
// calling thread empties them in order. Chunk buffers are reused from lap to lap.
class WorkRing {
 public:
  // Starts as many of the workers as the system allows; perhaps none.
  WorkRing(const OrderedWork& work, unsigned workers) : work_(work), slots_(2 * workers + 2) {
    threads_.reserve(workers);
    try {
      for (unsigned w = 0; w < workers; ++w) threads_.emplace_back([this, w] { work_loop(w); });
    } catch (...) {
      // Out of threads, or of memory for their stacks: fewer workers will do. (Leaving the
      // constructor by an exception would destroy running threads, which terminates.)
    }
  }
  WorkRing(const WorkRing&) = delete;
  WorkRing& operator=(const WorkRing&) = delete;

  // Also on the way out of an exception: the workers finish their chunk and stop.
  ~WorkRing() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    work_ready_.notify_all();
    head_moved_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  bool has_workers() const { return !threads_.empty(); }

  void run() {
    bool input_left = true;
    std::exception_ptr read_failure;
    for (;;) {
      while (input_left && read_ - consumed_ < slots_.size()) {
        try {
          input_left = read_one();
        } catch (...) {
          // The chunks read before the failure are still worked on and written.
          read_failure = std::current_exception();
          input_left = false;
        }
      }
      if (consumed_ == read_) break;
      consume_one();
    }
    if (read_failure) std::rethrow_exception(read_failure);
  }

 private:
  Slot& slot(std::size_t sequence) { return slots_[sequence % slots_.size()]; }

  bool read_one() {
    Slot& next = slot(read_);
    if (!work_.produce(next.chunk)) return false;
    next.chunk.output.clear();
    next.failure = nullptr;
    {
      std::lock_guard lock(mutex_);
      ++read_;
    }
    work_ready_.notify_one();
    return true;
  }

  void consume_one() {
    Slot& next = slot(consumed_);
    {
      std::unique_lock lock(mutex_);
      work_finished_.wait(lock, [&] { return next.finished; });
    }
    work_.consume(next.chunk);
    if (next.failure) std::rethrow_exception(next.failure);
    {
      std::lock_guard lock(mutex_);
      next.finished = false;
      ++consumed_;
    }
    head_moved_.notify_all();
  }

  // The hand-over of chunk sequence: once every earlier chunk is consumed, the calling thread
  // waits for this one to finish, so the worker may consume its output itself.
  bool hand_over(std::size_t sequence, WorkChunk& chunk, Wait wait) {
    {
      std::unique_lock lock(mutex_);
      if (wait == Wait::Yes) {
        head_moved_.wait(lock, [&] { return stopping_ || consumed_ == sequence; });
      } else if (consumed_ != sequence) {
        return false;
      }
      if (stopping_) throw Stopped{};
    }
    work_.consume(chunk);
    chunk.output.clear();
    return true;
  }

  void work_loop(unsigned worker) {
    for (;;) {
      Slot* next = nullptr;
      std::size_t sequence = 0;
      {
        std::unique_lock lock(mutex_);
        work_ready_.wait(lock, [&] { return stopping_ || taken_ < read_; });
        if (stopping_) return;
        sequence = taken_++;
        next = &slot(sequence);
      }
      try {
        work_.process(worker, next->chunk, [this, sequence, next](Wait wait) {
          return hand_over(sequence, next->chunk, wait);
        });
      } catch (...) {
        next->failure = std::current_exception();
      }
      {
        std::lock_guard lock(mutex_);
        next->finished = true;
      }
      work_finished_.notify_one();
    }
  }

  const OrderedWork& work_;
  std::vector<Slot> slots_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable work_finished_;
  std::condition_variable head_moved_;  // consumed_ grew, or the run stops
  bool stopping_ = false;
  // Sequence numbers of chunks: read by the calling thread, taken by a worker, consumed.
  std::size_t read_ = 0;      // written under the mutex, read freely by the calling thread
  std::size_t taken_ = 0;     // under the mutex
  std::size_t consumed_ = 0;  // written under the mutex by the calling thread
};

void run_on_calling_thread(const OrderedWork& work) {
  WorkChunk chunk;
  // Every chunk is at the head of the reading order as it is processed.
  const HandOver hand_over = [&](Wait) {
    work.consume(chunk);
    chunk.output.clear();
    return true;
  };
  while (work.produce(chunk)) {
    chunk.output.clear();
    try {
      work.process(0, chunk, hand_over);
    } catch (...) {
      work.consume(chunk);
      throw;
    }
    work.consume(chunk);
  }
}

}  // namespace

void run_ordered_work(const OrderedWork& work, unsigned workers) {
  if (workers == 0) {
    run_on_calling_thread(work);
    return;
  }
  WorkRing ring(work, workers);
  if (!ring.has_workers()) {
    run_on_calling_thread(work);
    return;
  }
  ring.run();
}

unsigned checking_threads() {
  const unsigned processors = usable_processors();
  return processors > 1 ? std::min(processors, 8u) : 0;
}

}  // namespace unitcheck
