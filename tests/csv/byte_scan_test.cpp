#include "csv/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

namespace unitcheck {
namespace {

// Every mask of a classified block, to compare two classifications at once.
auto masks_of(const ByteClasses64& c) {
  return std::tuple(c.structural, c.opens, c.closes, c.digits, c.points, c.signs, c.minus);
}

// The vector forms answer as the plain ones on blocks of every kind of byte: structural bytes,
// digits, points, signs, and bytes of 0x80 and up (negative as signed chars).
TEST(ByteScan, VectorFormsAgreeWithThePlainOnes) {
  std::mt19937 random(11);
  const char alphabet[] = {'{', ';', '}', ',', '"', '0',  '5',    '9',    '.',    '+',
                           '-', 'e', 'x', '/', ':', '\0', '\x7f', '\x80', '\xb0', '\xff'};
  char block[64];
  for (int round = 0; round < 20000; ++round) {
    for (char& byte : block)
      byte = round % 2 == 0 ? alphabet[random() % sizeof alphabet] : static_cast<char>(random());
    const ByteClasses64 plain = classify_block64_plain(block, '{', ';', '}');
    const ByteClasses64 fast = classify_block64(block, '{', ';', '}');
    ASSERT_EQ(masks_of(fast), masks_of(plain));
#if defined(UNITCHECK_AVX2_FORMS)
    if (has_avx2()) {
      const ByteClasses64 wide = classify_block64_avx2(block, '{', ';', '}');
      ASSERT_EQ(masks_of(wide), masks_of(plain));
    }
#endif
    for (int i = 0; i < 64; i += 16)
      ASSERT_EQ(match_mask16(block + i, ',', '"', ','),
                match_mask16_plain(block + i, ',', '"', ','));
  }
}

// The tests' choice of a form is taken only as far as the processor allows, and a run never
// fails for it; each form's own code runs, and only it.
TEST(ByteScan, ChosenFormRunsItsOwnCode) {
  const BlockForm widest = widest_block_form();
  EXPECT_EQ(block_form_from(nullptr), widest);
  EXPECT_EQ(block_form_from("plain"), BlockForm::Plain);
  EXPECT_EQ(block_form_from("sse2"), BlockForm::Sse2);
  EXPECT_EQ(block_form_from("avx2"), widest);
  EXPECT_EQ(block_form_from("AVX512"), widest);
  EXPECT_EQ(block_form_from(""), widest);
  auto ran = [](BlockForm form) {
    return in_block_form(
        form, [] { return std::string("plain"); }, [] { return std::string("sse2"); },
        [] { return std::string("avx2"); });
  };
  EXPECT_EQ(ran(BlockForm::Plain), "plain");
  EXPECT_EQ(ran(BlockForm::Sse2), "sse2");
#if defined(UNITCHECK_AVX2_FORMS)
  EXPECT_EQ(ran(BlockForm::Avx2), "avx2");
#else
  EXPECT_EQ(ran(BlockForm::Avx2), "sse2");
#endif
}

// The lowest n set bits, from either end, are those a walk from the bottom collects.
TEST(ByteScan, LowestSetBits) {
  EXPECT_EQ(lowest_set_bits(0, 3), 0u);
  EXPECT_EQ(lowest_set_bits(0b1011'0110, 0), 0u);
  EXPECT_EQ(lowest_set_bits(0b1011'0110, 2), 0b0000'0110u);
  EXPECT_EQ(lowest_set_bits(0b1011'0110, 4), 0b0011'0110u);
  EXPECT_EQ(lowest_set_bits(0b1011'0110, 5), 0b1011'0110u);
  EXPECT_EQ(lowest_set_bits(~std::uint64_t{0}, 63), ~std::uint64_t{0} >> 1);
  std::mt19937_64 random(5);
  for (int round = 0; round < 20000; ++round) {
    const std::uint64_t mask = random() & random();
    const auto n = static_cast<unsigned>(random() % 66);
    std::uint64_t expected = 0;
    unsigned taken = 0;
    for (int bit = 0; bit < 64 && taken < n; ++bit)
      if ((mask >> bit & 1) != 0) {
        expected |= std::uint64_t{1} << bit;
        ++taken;
      }
    ASSERT_EQ(lowest_set_bits(mask, n), expected) << mask << " " << n;
  }
}

}  // namespace
}  // namespace unitcheck
