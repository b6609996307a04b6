#include "platform/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace unitcheck {
namespace {

std::string bracketed(std::int64_t number) {
  std::string text = "<";
  text += std::to_string(number);
  text += '>';
  return text;
}

// Work over the numbers 0 to count-1: each chunk's output is its input reversed, after a pause
// that differs from chunk to chunk, so that workers finish out of order.
struct Numbers {
  explicit Numbers(int chunk_count) : count(chunk_count) {}

  int count;
  int next = 0;
  std::string consumed;
  int fail_in_process = -1;
  int fail_in_consume = -1;
  std::atomic<int> processed{0};

  OrderedWork work() {
    OrderedWork work;
    work.produce = [this](WorkChunk& chunk) {
      if (next == count) return false;
      chunk.number = next++;
      chunk.input = bracketed(chunk.number);
      return true;
    };
    work.process = [this](unsigned, WorkChunk& chunk) {
      std::this_thread::sleep_for(std::chrono::microseconds((chunk.number * 37) % 200));
      chunk.output = std::string(chunk.input.rbegin(), chunk.input.rend());
      ++processed;
      if (chunk.number == fail_in_process) throw std::runtime_error("process");
      chunk.output += ";";
    };
    work.consume = [this](WorkChunk& chunk) {
      if (chunk.number == fail_in_consume) throw std::runtime_error("consume");
      consumed += chunk.output;
    };
    return work;
  }
};

std::string expected_up_to(int count) {
  std::string text;
  for (int k = 0; k < count; ++k) {
    const std::string input = bracketed(k);
    text += std::string(input.rbegin(), input.rend()) + ";";
  }
  return text;
}

TEST(OrderedWork, HandsChunksBackInTheOrderTheyWereRead) {
  for (unsigned workers : {0u, 1u, 2u, 5u}) {
    Numbers numbers(200);
    run_ordered_work(numbers.work(), workers);
    EXPECT_EQ(numbers.consumed, expected_up_to(200)) << workers << " workers";
  }
}

TEST(OrderedWork, NothingToReadConsumesNothing) {
  Numbers numbers(0);
  run_ordered_work(numbers.work(), 3);
  EXPECT_EQ(numbers.consumed, "");
}

TEST(OrderedWork, AFailedChunkEndsTheWorkAfterEarlierChunksAndItsOwnOutput) {
  for (unsigned workers : {0u, 1u, 3u}) {
    Numbers numbers(100);
    numbers.fail_in_process = 41;
    EXPECT_THROW(run_ordered_work(numbers.work(), workers), std::runtime_error);
    // Chunk 41 reached its output before failing; nothing after it is written.
    EXPECT_EQ(numbers.consumed, expected_up_to(41) + ">14<") << workers << " workers";
  }
}

TEST(OrderedWork, AFailureWhileConsumingStopsTheWorkers) {
  for (unsigned workers : {0u, 2u}) {
    Numbers numbers(1000);
    numbers.fail_in_consume = 10;
    EXPECT_THROW(run_ordered_work(numbers.work(), workers), std::runtime_error);
    EXPECT_EQ(numbers.consumed, expected_up_to(10));
    // Only the chunks read ahead of the failure were worked on, not the whole input.
    EXPECT_LT(numbers.processed.load(), 30);
  }
}

}  // namespace
}  // namespace unitcheck
