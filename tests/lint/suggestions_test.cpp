#include "lint/suggestions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace unitcheck::lint {
namespace {

TEST(Suggestions, BoundedDistanceCountsEditsWithoutCaseAndStopsAtTheBound) {
  const struct {
    std::string_view a, b;
    int bound, expected;
  } cases[] = {
      {"false", "false", 2, 0},
      {"FALSE", "false", 2, 0},   // case does not count
      {"flase", "false", 2, 1},   // two neighbours swapped: one edit
      {"fals", "false", 2, 1},    // one missing
      {"falsee", "false", 2, 1},  // one extra
      {"fxlse", "false", 2, 1},   // one replaced
      {"Jump_Drive_Presnt", "Jump_Drive_Present", 2, 1},
      {"Jmp_Drive_Presnt", "Jump_Drive_Present", 2, 2},
      {"Jmp_Drv_Presnt", "Jump_Drive_Present", 2, 3},  // past the bound: bound + 1
      {"", "ab", 2, 2},
      {"", "abc", 2, 3},
      {"abc", "", 1, 2},
      {"Mass", "Mesh", 2, 2},
      {"Mass", "Mesh", 1, 2},
      {"ab", "ba", 0, 1},
      {"\xe9t\xe9", "\xc9T\xc9", 2, 2},  // only ASCII letters fold
      // Characters, not bytes: an accented letter is one edit, as is a swap of two of them; a
      // byte of no character is one of its own, never a part of its neighbour.
      {"M\xc3\xa9tal", "Metal", 2, 1},
      {"Raw_Materials/M\xc3\xa9tal", "Raw_Materials/Metals", 2, 2},
      {"\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x9c\xac\xe6\x97\xa5", 2, 1},
      {"\xc3", "\xc3\xa9", 2, 1},
      {"\xc3\xa9", "\xc3\xa8", 2, 1},
      {"\xf0\x9f\x9a\x80" "abc", "abc", 1, 1},
      {std::string_view("x\0y", 3), "xy", 2, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(bounded_distance(c.a, c.b, c.bound), c.expected) << c.a << " / " << c.b;
}

// The whole table, without a band: edits, and swaps of two neighbours, ASCII letters folded.
int plain_distance(std::string_view a, std::string_view b) {
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const int replace = d[i - 1][j - 1] + (fold(a[i - 1]) == fold(b[j - 1]) ? 0 : 1);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
      if (i > 1 && j > 1 && fold(a[i - 1]) == fold(b[j - 2]) && fold(a[i - 2]) == fold(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

// Only the band of the table is computed, its buffers reused row after row: it must answer as
// the whole table does, capped at the bound.
TEST(Suggestions, BoundedDistanceAnswersAsTheWholeTable) {
  std::mt19937 random(11);
  const auto text = [&] {
    std::string t(random() % 12, ' ');
    for (char& c : t) c = "abAB_"[random() % 5];
    return t;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string a = text(), b = text();
    const int bound = static_cast<int>(random() % 4);
    ASSERT_EQ(bounded_distance(a, b, bound), std::min(plain_distance(a, b), bound + 1))
        << a << " / " << b << " within " << bound;
  }
}

TEST(Suggestions, LongNamesAreComparedPastTheStackRows) {
  const std::string a(300, 'x');
  std::string b = a;
  b[150] = 'y';
  std::swap(b[10], b[11]);  // equal bytes: no change
  EXPECT_EQ(bounded_distance(a, b, 2), 1);
  EXPECT_EQ(bounded_distance(a, a + "zz", 2), 2);
  EXPECT_EQ(bounded_distance(a, a + "zzz", 2), 3);
}

TEST(Suggestions, BooleanWordsAreOfferedInTheValuesCase) {
  const struct {
    std::string_view value, expected;
  } cases[] = {
      {"flase", "false"}, {"FLASE", "FALSE"}, {"Flase", "false"}, {"ture", "true"},
      {"True", "true"},   {"TRUE ", "TRUE"},  {" true", "true"},  {"tru", "true"},
      {"yes", ""},        {"no", ""},         {"2", ""},          {"t", ""},
      {"", ""},           {"10", ""},         {"0.0", ""},        {"fa", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(closest_boolean_word(c.value), c.expected) << c.value;
}

TEST(Suggestions, ClosestNameIsTheFirstOfTheNearestWithinTheBound) {
  const std::vector<std::string_view> names = {"Raw_Materials/Metals", "Raw_Materials/Gems",
                                               "Weapons/Guns", "Weapons/Gun", "Upgrades"};
  EXPECT_EQ(closest_name("Raw_Materials/Metal", names), "Raw_Materials/Metals");
  EXPECT_EQ(closest_name("raw_materials/metals", names), "Raw_Materials/Metals");
  EXPECT_EQ(closest_name("Weapons/Gnus", names), "Weapons/Guns");  // first of two at 1
  EXPECT_EQ(closest_name("Weapons/Guns", names), "");              // exact: nothing to offer
  EXPECT_EQ(closest_name("Upgrade", names), "Upgrades");
  EXPECT_EQ(closest_name("Equipment/Mining", names), "");
  EXPECT_EQ(closest_name("Upg", names), "");  // short values get one edit at most
  EXPECT_EQ(closest_name("x", std::vector<std::string_view>{}), "");
  // Lengths and bounds in characters: five letters allow two edits however many bytes.
  EXPECT_EQ(closest_name("Raw_Materials/M\xc3\xa9tal", names), "Raw_Materials/Metals");
  EXPECT_EQ(closest_name("\xc3\x9cpgrade", names), "Upgrades");
  EXPECT_EQ(closest_name("\xc3\x9cpg", names), "");
}

// The index must answer exactly as the plain search over the names in their order: the same
// first of the nearest, nothing for a value that is one of the names. Names from a small
// alphabet, in both cases, collide and tie often.
TEST(Suggestions, NameIndexAnswersAsThePlainSearch) {
  std::mt19937 random(20261208);
  // Characters of one to three bytes, and a byte of none, which differ in their first byte
  // only or share their last: a search that counted bytes would answer otherwise.
  const auto random_text = [&](std::size_t longest) {
    static constexpr std::string_view kPieces[] = {"a", "b", "c", "A", "B", "C", "_", "/", ".",
                                                   "\xc3\xa9", "\xc3\xa8", "\xe6\x97\xa5", "\xc3"};
    std::string text;
    for (std::size_t n = random() % (longest + 1); n > 0; --n)
      text += kPieces[random() % std::size(kPieces)];
    return text;
  };
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> texts;
    // Up to 100 names: indexes of 64 and more remember their answers.
    for (std::size_t n = random() % 100; n > 0; --n) texts.push_back(random_text(7));
    const std::vector<std::string_view> names(texts.begin(), texts.end());
    const NameIndex index(names);
    for (int probe = 0; probe < 50; ++probe) {
      const std::string value =
          probe % 5 == 0 && !texts.empty() ? texts[random() % texts.size()] : random_text(8);
      const std::string_view expected = closest_name(value, names);
      // Asked twice: the second answer is the remembered one.
      for (int ask = 0; ask < 2; ++ask) {
        const std::string_view found = index.closest(value);
        ASSERT_EQ(found, expected) << "value " << value;
        // The same name, not merely an equal one: the first of equal names is offered.
        if (!expected.empty()) {
          EXPECT_EQ(found.data(), expected.data()) << "value " << value;
        }
      }
    }
  }
}

// Findings are described on every checking thread at once, all asking one index, past the
// number of answers it keeps; a gathered index is made once, by whichever thread asks first.
TEST(Suggestions, NameIndexAnswersFromSeveralThreads) {
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) texts.push_back("part_" + std::to_string(i * 7));
  const std::vector<std::string_view> names(texts.begin(), texts.end());
  std::vector<std::string> values;
  for (int i = 0; i < 5000; ++i) values.push_back("prat_" + std::to_string(i % 2500));
  std::vector<std::string_view> expected;
  for (const std::string& value : values) expected.push_back(closest_name(value, names));
  std::atomic<int> gathered{0};
  const auto gather = [&] {
    ++gathered;
    return std::span<const std::string_view>(names);
  };
  EXPECT_EQ(NameIndex(gather).closest("x"), "");  // made as soon as it is asked
  EXPECT_EQ(gathered, 1);
  gathered = 0;
  for (const bool gathered_on_use : {false, true}) {
    const NameIndex index = gathered_on_use ? NameIndex(gather) : NameIndex(names);
    const NameIndex never_asked(gather);  // a list that no finding needs is never made
    const auto ask_all = [&](std::vector<std::string_view>& answers) {
      for (const std::string& value : values) answers.push_back(index.closest(value));
    };
    std::vector<std::string_view> first, second;
    std::thread other([&] { ask_all(first); });
    ask_all(second);
    other.join();
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected);
    EXPECT_EQ(gathered, gathered_on_use ? 1 : 0);
  }
}

}  // namespace
}  // namespace unitcheck::lint
