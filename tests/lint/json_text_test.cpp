#include "lint/json_text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "lint/json_bytes.h"

namespace unitcheck::lint {
namespace {

std::string library_encoding(const std::string& text) {
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Plain texts skip the library's encoder: they must come out as it would write them, and every
// other text must still go through it.
TEST(JsonText, StringsAreEncodedAsTheLibraryEncodesThem) {
  std::vector<std::string> texts = {"",          "plain text",  "\"quoted\"",    "back\\slash",
                                    "tab\there", "caf\xc3\xa9", "bad \xff byte", "\xe2\x82",
                                    "nul\0in"};
  texts.back().push_back('\0');
  for (int byte = 0; byte < 256; ++byte) {
    std::string text = "a";
    text += static_cast<char>(byte);
    texts.push_back(text + 'z');
  }
  for (const std::string& text : texts) {
    std::string out;
    JsonText(out).string(text);
    EXPECT_EQ(out, library_encoding(text)) << library_encoding(text);
  }
}

// Texts of plain runs and runs to encode, mixed at random: quotes, controls, valid and cut-short
// UTF-8 sequences, stray continuation bytes.
TEST(JsonText, MixedTextsAreEncodedAsTheLibraryEncodesThemWhole) {
  static constexpr std::string_view kPieces[] = {"a",
                                                 "Name: ",
                                                 "\"",
                                                 "\\",
                                                 "\n",
                                                 "\x7f",
                                                 "\xc3\xa9",
                                                 "\xc3",
                                                 "\xe2\x82\xac",
                                                 "\xe2\x82",
                                                 "\x80",
                                                 "\xff",
                                                 "\xf0\x9f\x98\x80",
                                                 "\xf0\x9f",
                                                 "\xed\xa0\x80",
                                                 "\x01"};
  std::mt19937 random(8);
  // Long texts too: plain runs are passed eight bytes at a time, whatever byte a run ends at.
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (std::size_t n = random() % (round % 2 == 0 ? 8 : 40); n > 0; --n)
      text += kPieces[random() % std::size(kPieces)];
    std::string out;
    JsonText(out).string(text);
    ASSERT_EQ(out, library_encoding(text)) << library_encoding(text);
  }
}

// The form of the 16-byte test in use answers as the plain one on blocks of the bytes at the
// edges of what JSON takes as it is.
TEST(JsonText, TheBlockTestAnswersAsThePlainOne) {
  static constexpr char kBytes[] = {'a',    ' ',    '~',    '"',  '\\', '\x1f',
                                    '\x7f', '\x80', '\xff', '\0', '!'};
  std::mt19937 random(16);
  for (int round = 0; round < 20000; ++round) {
    char block[16];
    for (char& byte : block) byte = kBytes[random() % std::size(kBytes)];
    ASSERT_EQ(special_mask16(block), special_mask16_plain(block)) << round;
  }
}

// One document far longer than the room made ahead, written onto text already there: every
// piece lands after the one before, whatever the string's moves as it grows.
TEST(JsonText, ALongDocumentGrowsItsRoomAsItGoes) {
  std::string out = "head;";
  std::string expected = out;
  {
    JsonText json(out);
    for (int i = 0; i < 3000; ++i) {
      const std::string text = std::string(static_cast<std::size_t>(i % 7), '"') + "\x01\xff";
      json.raw(i == 0 ? "[" : ",").string(text).raw(",").number(-i);
      expected += i == 0 ? "[" : ",";
      expected += library_encoding(text);
      expected += ',';
      expected += std::to_string(-i);
    }
    json.raw("]");
    expected += "]";
  }
  EXPECT_EQ(out, expected);
}

TEST(JsonText, NumbersAndNulls) {
  std::string out;
  JsonText(out).raw("[").number(-9223372036854775807 - 1).raw(",").number(0).raw(",");
  JsonText(out).string_or_null("").raw(",").string_or_null("x").raw("]");
  EXPECT_EQ(out, "[-9223372036854775808,0,null,\"x\"]");
}

}  // namespace
}  // namespace unitcheck::lint
