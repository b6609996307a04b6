#include "tables/text_map.h"

#include <gtest/gtest.h>

#include <string>

namespace unitcheck {
namespace {

TEST(TextMap, FindsEveryKeyAcrossGrowthAndKeepsTheFirstValue) {
  TextMap<int> map;
  for (int i = 0; i < 5000; ++i) map.insert("key" + std::to_string(i), i);
  map.insert("key7", 99);  // already present
  EXPECT_EQ(map.size(), 5000u);
  for (int i = 0; i < 5000; ++i) {
    const int* value = map.find("key" + std::to_string(i));
    ASSERT_NE(value, nullptr) << i;
    EXPECT_EQ(*value, i);
  }
  EXPECT_EQ(map.find("key5000"), nullptr);
  EXPECT_EQ(map.find("key"), nullptr);
}

TEST(TextMap, KeysAreBytesOfAnyLength) {
  TextSet set;
  const std::string keys[] = {"",     std::string(1, '\0'),  std::string(2, '\0'), "a", "A",
                              "\xE9", std::string(100, 'x'), std::string(101, 'x')};
  for (const std::string& key : keys) set.insert(key);
  EXPECT_EQ(set.size(), std::size(keys));
  for (const std::string& key : keys) EXPECT_TRUE(set.contains(key));
  EXPECT_FALSE(set.contains(std::string(3, '\0')));
  EXPECT_FALSE(set.contains(std::string(99, 'x')));
}

// Keys are compared a word at a time: texts of every length up to a few words, equal, and
// differing in one byte at each position, by a low bit or the high one.
TEST(TextMap, SameBytesAgreesWithTheByteByByteComparison) {
  for (std::size_t size = 0; size <= 40; ++size) {
    std::string a(size, 'k');
    for (std::size_t i = 0; i < size; ++i) a[i] = static_cast<char>('a' + i % 26);
    EXPECT_TRUE(same_bytes(a, a)) << size;
    EXPECT_FALSE(same_bytes(a, a + "k")) << size;
    for (std::size_t i = 0; i < size; ++i) {
      for (const char flip : {'\x01', '\x80'}) {
        std::string b = a;
        b[i] = static_cast<char>(b[i] ^ flip);
        EXPECT_FALSE(same_bytes(a, b)) << size << " at " << i;
        EXPECT_FALSE(same_bytes(b, a)) << size << " at " << i;
      }
    }
  }
}

TEST(TextMap, ReservingKeepsKeysAndValuesWhateverTheOrder) {
  TextMap<int> map;
  map.insert("early", 1);
  map.reserve(3000, 10);  // fewer key bytes than the keys will take
  for (int i = 0; i < 3000; ++i) map.insert(std::to_string(i), i);
  map.reserve(10);  // smaller than the map: changes nothing
  EXPECT_EQ(map.size(), 3001u);
  ASSERT_NE(map.find("early"), nullptr);
  EXPECT_EQ(*map.find("early"), 1);
  for (int i = 0; i < 3000; ++i) {
    const int* value = map.find(std::to_string(i));
    ASSERT_NE(value, nullptr) << i;
    EXPECT_EQ(*value, i);
  }
  EXPECT_EQ(map.find("3000"), nullptr);

  TextSet set;
  set.reserve(100, 100 * 8);
  for (int i = 0; i < 200; ++i) set.insert("part_" + std::to_string(i));  // more than reserved
  EXPECT_EQ(set.size(), 200u);
  EXPECT_TRUE(set.contains("part_199"));
  EXPECT_FALSE(set.contains("part_"));
}

TEST(TextMap, ClearForgetsEverything) {
  TextMap<bool> map;
  map.insert("a", true);
  map.clear();
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.find("a"), nullptr);
  map.insert("a", false);
  ASSERT_NE(map.find("a"), nullptr);
  EXPECT_FALSE(*map.find("a"));
}

}  // namespace
}  // namespace unitcheck
