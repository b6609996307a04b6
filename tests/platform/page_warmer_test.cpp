#include "platform/page_warmer.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "support/without_threads.h"

namespace unitcheck {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

char pattern(std::size_t at, unsigned round) {
  return static_cast<char>((at * 31 + round * 7 + at / 4096) & 0xFF);
}

// Fresh buffers filled in pieces while the warmer makes their pages ready: every byte written
// stays written, however the warmer's rounds fall against the writes.
TEST(PageWarmer, KeepsEveryByteTheWriterWrites) {
  PageWarmer warmer(2 * kMiB);
  for (unsigned round = 0; round < 3; ++round) {
    const std::size_t size = 24 * kMiB + round * 1234;
    std::vector<char> piece(64 * 1024 + round);
    char* buffer = static_cast<char*>(std::malloc(size));
    ASSERT_NE(buffer, nullptr);
    warmer.begin(buffer, size);
    for (std::size_t at = 0; at < size;) {
      const std::size_t count = std::min(piece.size(), size - at);
      for (std::size_t i = 0; i < count; ++i) piece[i] = pattern(at + i, round);
      std::memcpy(buffer + at, piece.data(), count);
      at += count;
      warmer.filled(at);
    }
    warmer.end();
    std::size_t wrong = 0;
    for (std::size_t at = 0; at < size; ++at) wrong += buffer[at] != pattern(at, round);
    EXPECT_EQ(wrong, 0u) << "round " << round;
    std::free(buffer);
  }
}

// The resident pages among the first count pages of region.
std::size_t resident_pages(char* region, std::size_t count) {
  std::vector<unsigned char> in_core(count);
  if (::mincore(region, count * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)),
                in_core.data()) != 0) {
    return 0;
  }
  std::size_t resident = 0;
  for (const unsigned char page : in_core) resident += page & 1;
  return resident;
}

// Pages are made ready a window ahead of the bytes filled, and not further: memory follows
// what was written.
TEST(PageWarmer, MakesReadyTheWindowAheadAndNoMore) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t size = 64 * kMiB;
  const std::size_t window = 4 * kMiB;
  char* region = static_cast<char*>(
      ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(region, MAP_FAILED);
  PageWarmer warmer(window);
  warmer.begin(region, size);
  // The resident pages of [from, to), once all are or after a while.
  const auto ready = [&](std::size_t from, std::size_t to) {
    const std::size_t count = (to - from) / page;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (resident_pages(region + from, count) < count &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return resident_pages(region + from, count);
  };
  warmer.filled(0);
  EXPECT_EQ(ready(0, window), window / page);
  if (!warmer.works()) {
    warmer.end();
    ::munmap(region, size);
    GTEST_SKIP() << "this kernel cannot make pages ready";
  }
  // The bytes below 20 MiB were written by the writer (here: not at all), so only the window
  // past them is made ready.
  warmer.filled(20 * kMiB);
  EXPECT_EQ(ready(20 * kMiB, 20 * kMiB + window), window / page);
  warmer.end();
  EXPECT_EQ(resident_pages(region, size / page), 2 * window / page);
  ::munmap(region, size);
}

// Run on its own by the next test, in a fresh process.
TEST(PageWarmer, DISABLED_WithoutRoomForAThread) {
  ASSERT_TRUE(testing::leave_no_room_for_threads()) << "the limit leaves room for threads";
  static char buffer[1 << 20];
  PageWarmer warmer(64 * 1024);
  warmer.begin(buffer, sizeof buffer);
  std::memset(buffer, 'x', sizeof buffer);
  warmer.filled(sizeof buffer);
  warmer.end();
  EXPECT_FALSE(warmer.works());
  EXPECT_EQ(buffer[sizeof buffer - 1], 'x');
}

// A warmer that cannot start its thread does nothing, and the writer writes on.
TEST(PageWarmer, DoesNothingWhenNoThreadCanStart) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "sanitizers reserve more address space than the limit leaves";
#else
  EXPECT_EQ(testing::run_disabled_test_alone("PageWarmer.DISABLED_WithoutRoomForAThread"), 0);
#endif
}

}  // namespace
}  // namespace unitcheck
