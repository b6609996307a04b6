#pragma once

// Tested by tests/platform/ordered_work_test.cpp (reading order, hand-over, failures) and,
// for races, by the same tests under ThreadSanitizer (make tsan).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace unitcheck {

// One piece of work: text in, text out, and a number the producer gives it (such as the number
// of its first line). The input may lie in buffer, whose memory is reused from chunk to chunk.
struct WorkChunk {
  std::string buffer;
  std::string_view input;
  std::int64_t number = 0;
  std::string output;
};

// Whether a hand-over may wait for the earlier chunks.
enum class Wait : bool { No, Yes };

// Lets process hand over the output of its chunk so far, before the chunk is finished: once
// every earlier chunk is consumed, consumes this one's output and empties it. With Wait::Yes it
// waits for the earlier chunks, so a chunk with much output need not hold it all; with Wait::No
// it hands over only if no earlier chunk is left, at once, so the chunk at the head of the
// reading order writes as it goes while the others never stall. Returns whether it handed over.
using HandOver = std::function<bool(Wait)>;

// Reads chunks on the calling thread, works on them in worker threads and hands them back in
// the order they were read, so that output written from consume is the same whatever the
// number of workers.
struct OrderedWork {
  // Sets the chunk's input and number; false when there is nothing left. Calling thread.
  std::function<bool(WorkChunk&)> produce;
  // Fills the chunk's output from its input. Called for chunks of one worker at a time; the
  // worker's index lets it keep state of its own. Worker thread.
  std::function<void(unsigned worker, WorkChunk&, const HandOver&)> process;
  // Takes the output of a chunk, in reading order, once when the chunk is finished and once at
  // each hand-over before. Never called twice at once; on the calling thread, or on the worker
  // thread of a hand-over.
  std::function<void(WorkChunk&)> consume;
};

// Runs the work with the given number of worker threads; with none, each chunk is processed
// on the calling thread as soon as it is read. An exception from produce reaches the caller
// after every chunk read before it is consumed; one from process, after every earlier chunk
// and the output of that chunk so far; later chunks are dropped. An exception from consume
// stops the workers and reaches the caller too.
void run_ordered_work(const OrderedWork& work, unsigned workers);

// The processors this process may run on (its affinity mask, as taskset or a container sets
// it), at least 1.
unsigned usable_processors();

// The worker threads for checking: one per usable processor, while the starting thread mostly
// waits on reads and writes; none on one processor; past eight, reading one file is the limit.
unsigned checking_threads();

}  // namespace unitcheck
