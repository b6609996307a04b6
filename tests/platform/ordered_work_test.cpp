#include "platform/ordered_work.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/without_threads.h"

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
  int fail_in_produce = -1;
  int fail_in_process = -1;
  int fail_in_consume = -1;
  bool hand_over_each_byte = false;
  Wait wait = Wait::Yes;  // how each byte is handed over
  std::atomic<int> processed{0};
  std::atomic<std::size_t> most_held{0};  // the longest output a chunk held at a hand-over
  std::atomic<int> handed_over{0};        // hand-overs that took place

  OrderedWork work() {
    OrderedWork work;
    work.produce = [this](WorkChunk& chunk) {
      if (next == count) return false;
      if (next == fail_in_produce) throw std::runtime_error("produce");
      chunk.number = next++;
      chunk.buffer = bracketed(chunk.number);
      chunk.input = chunk.buffer;
      return true;
    };
    work.process = [this](unsigned, WorkChunk& chunk, const HandOver& hand_over) {
      std::this_thread::sleep_for(std::chrono::microseconds((chunk.number * 37) % 200));
      for (auto byte = chunk.input.rbegin(); byte != chunk.input.rend(); ++byte) {
        chunk.output += *byte;
        if (!hand_over_each_byte) continue;
        most_held = std::max(most_held.load(), chunk.output.size());
        if (hand_over(wait)) {
          ++handed_over;
          EXPECT_EQ(chunk.output, "") << "a hand-over empties the chunk's output";
        } else {
          EXPECT_EQ(wait, Wait::No) << "only a hand-over that may not wait is refused";
        }
      }
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

TEST(OrderedWork, OutputHandedOverPieceByPieceKeepsTheReadingOrder) {
  for (const Wait wait : {Wait::Yes, Wait::No}) {
    for (unsigned workers : {0u, 1u, 2u, 5u}) {
      Numbers numbers(200);
      numbers.hand_over_each_byte = true;
      numbers.wait = wait;
      run_ordered_work(numbers.work(), workers);
      EXPECT_EQ(numbers.consumed, expected_up_to(200)) << workers << " workers";
      EXPECT_GT(numbers.handed_over.load(), 0);
      if (wait == Wait::Yes || workers == 0) {
        // Waiting, or on the calling thread: every byte is handed over as it comes.
        EXPECT_EQ(numbers.most_held.load(), 1u) << workers << " workers";
      }
    }
  }
}

// A chunk behind an unfinished one may not hand over without waiting; at the head it may.
TEST(OrderedWork, AHandOverWithoutWaitingTakesPlaceOnlyAtTheHead) {
  std::promise<void> second_tried;
  std::shared_future<void> tried = second_tried.get_future().share();
  std::vector<bool> answers(2);
  OrderedWork work;
  int next = 0;
  work.produce = [&](WorkChunk& chunk) {
    if (next == 2) return false;
    chunk.number = next++;
    return true;
  };
  work.process = [&](unsigned, WorkChunk& chunk, const HandOver& hand_over) {
    chunk.output = std::to_string(chunk.number);
    if (chunk.number == 0) tried.wait();  // chunk 1 tries while chunk 0 is unfinished
    answers[static_cast<std::size_t>(chunk.number)] = hand_over(Wait::No);
    if (chunk.number == 1) second_tried.set_value();
  };
  std::string consumed;
  work.consume = [&](WorkChunk& chunk) { consumed += chunk.output + ";"; };
  run_ordered_work(work, 2);
  EXPECT_TRUE(answers[0]);
  EXPECT_FALSE(answers[1]);
  EXPECT_EQ(consumed, "0;;1;");  // chunk 0 handed over, then finished empty; chunk 1 whole
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

TEST(OrderedWork, AFailedReadEndsTheWorkAfterEveryChunkReadBefore) {
  for (unsigned workers : {0u, 1u, 3u}) {
    Numbers numbers(100);
    numbers.fail_in_produce = 30;
    EXPECT_THROW(run_ordered_work(numbers.work(), workers), std::runtime_error);
    EXPECT_EQ(numbers.consumed, expected_up_to(30)) << workers << " workers";
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

// Run on its own by the next test, in a fresh process.
TEST(OrderedWork, DISABLED_UnderAnAddressSpaceWithoutRoomForAThread) {
  ASSERT_TRUE(testing::leave_no_room_for_threads()) << "the limit leaves room for threads";
  Numbers numbers(50);
  run_ordered_work(numbers.work(), 4);
  EXPECT_EQ(numbers.consumed, expected_up_to(50));
}

TEST(OrderedWork, WorkIsDoneOnTheCallingThreadWhenNoWorkerCanStart) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "sanitizers reserve more address space than the limit leaves";
#else
  EXPECT_EQ(testing::run_disabled_test_alone(
                "OrderedWork.DISABLED_UnderAnAddressSpaceWithoutRoomForAThread"),
            0);
#endif
}

}  // namespace
}  // namespace unitcheck
