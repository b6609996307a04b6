#include "server/text_document.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "server/content_change.h"

namespace unitcheck::server {
namespace {

std::vector<std::string> lines_of(const TextDocument& document) {
  std::vector<std::string> lines;
  for (std::size_t line = 0; line < document.line_count(); ++line) {
    lines.emplace_back(document.line(line));
  }
  return lines;
}

TEST(TextDocument, LinesEndAsTheUnitTablesDo) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(lines_of(TextDocument("")), Lines{""});
  EXPECT_EQ(lines_of(TextDocument("a\nb")), (Lines{"a", "b"}));
  EXPECT_EQ(lines_of(TextDocument("a\r\nb\r\n")), (Lines{"a", "b", ""}));
  EXPECT_EQ(lines_of(TextDocument("a\rb\r\rc")), (Lines{"a", "b", "", "c"}));
  EXPECT_EQ(lines_of(TextDocument("a\n\r\nb\r")), (Lines{"a", "", "b", ""}));
  EXPECT_EQ(lines_of(TextDocument(std::string("a\0b\n", 4))), (Lines{std::string("a\0b", 3), ""}));
}

// Every edit, in any place, leaves the lines that a document made afresh from the same text has:
// edits that join a CR to an LF, split a CR LF, or replace line ends with others included.
TEST(TextDocument, EditsFindTheSameLinesAsAFreshText) {
  std::mt19937 random(24);
  const std::string alphabet = "ab\r\n\r\n\xc3\xa9";
  auto random_text = [&](std::size_t most) {
    std::string text(random() % (most + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    // Blocks of one line each, of a few lines, and one block.
    const std::size_t block_size = std::size_t{1} << (round % 4 * 2);
    TextDocument document(random_text(12), block_size);
    for (int edit = 0; edit < 6; ++edit) {
      const std::size_t size = document.text().size();
      std::size_t begin = random() % (size + 1);
      std::size_t end = begin + random() % (size - begin + 1);
      const std::string replacement = random_text(4);
      std::string expected(document.text());
      expected.replace(begin, end - begin, replacement);
      document.replace(begin, end, replacement);
      // The whole text is joined only when asked for: every other edit asks.
      if (edit % 2 == 1) {
        ASSERT_EQ(document.text(), expected);
      }
      const TextDocument fresh(expected);
      ASSERT_EQ(document.size(), expected.size());
      ASSERT_EQ(lines_of(document), lines_of(fresh)) << "round " << round;
      for (std::size_t line = 0; line < fresh.line_count(); ++line) {
        ASSERT_EQ(document.line_start(line), fresh.line_start(line));
      }
      for (std::size_t offset = 0; offset <= expected.size(); ++offset) {
        ASSERT_EQ(document.line_of(offset), fresh.line_of(offset)) << offset;
      }
    }
  }
}

// A document keeps the text it was opened with and shows it through its blocks until an edit:
// copies and moves (short texts too, whose bytes a string holds inside itself) read the same
// lines, and an edit of a copy, or a new text, leaves the others as they were.
TEST(TextDocument, CopiesAndMovesKeepTheTextOpened) {
  using Lines = std::vector<std::string>;
  for (const std::size_t block_size : {std::size_t{1}, std::size_t{4}, kTextBlockSize}) {
    const std::string opened = "a,1\r\nbb,22\n\nccc";
    TextDocument original(opened, block_size);
    TextDocument copy = original;
    TextDocument moved = std::move(copy);
    std::vector<TextDocument> many;
    for (int i = 0; i < 40; ++i) many.push_back(moved);  // the vector moves them as it grows
    copy = moved;
    copy.replace(0, 1, "x");
    moved.replace_all("new\n");
    const Lines expected{"a,1", "bb,22", "", "ccc"};
    EXPECT_EQ(lines_of(original), expected);
    EXPECT_EQ(original.text(), opened);
    EXPECT_EQ(lines_of(many.back()), expected);
    EXPECT_EQ(lines_of(copy), (Lines{"x,1", "bb,22", "", "ccc"}));
    EXPECT_EQ(copy.text(), "x,1\r\nbb,22\n\nccc");
    EXPECT_EQ(lines_of(moved), (Lines{"new", ""}));
    std::string blocks;
    for (std::size_t index = 0; index < many.front().block_count(); ++index) {
      blocks.append(many.front().block(index));
    }
    EXPECT_EQ(blocks, opened);
  }
}

// The opened text is held while a block is a view of it, and let go once edits have given every
// block bytes of its own: a document of one long line edited is held once.
TEST(TextDocument, LetsGoOfTheOpenedTextOnceNoBlockViewsIt) {
  const std::string line = "key," + std::string(1000, 'x');
  SharedText one_line = shared_text(line + "\n");
  const std::weak_ptr<const void> held = one_line.owner;
  TextDocument document(std::move(one_line), 64);
  ASSERT_EQ(document.block_count(), 1u);
  document.replace(10, 11, "yy");
  EXPECT_TRUE(held.expired());
  EXPECT_EQ(document.line(0), line.substr(0, 10) + "yy" + line.substr(11));
  EXPECT_EQ(document.line(1), "");

  SharedText three_lines = shared_text(line + "\n" + line + "\n" + line);
  const std::weak_ptr<const void> kept = three_lines.owner;
  TextDocument blocks(std::move(three_lines), 64);
  ASSERT_EQ(blocks.block_count(), 3u);
  blocks.replace(5, 6, "a");
  blocks.replace(line.size() + 1 + 5, line.size() + 1 + 6, "b");
  EXPECT_FALSE(kept.expired());  // the last line is still a view
  EXPECT_EQ(blocks.line(2), line);
  blocks.replace(2 * line.size() + 2 + 5, 2 * line.size() + 2 + 6, "c");
  EXPECT_TRUE(kept.expired());
  EXPECT_EQ(lines_of(blocks)[1], line.substr(0, 5) + "b" + line.substr(6));
  const std::vector<std::string> edited = lines_of(blocks);
  EXPECT_EQ(blocks.text(), edited[0] + "\n" + edited[1] + "\n" + edited[2]);
}

// é is two bytes and one UTF-16 unit; 😀 four bytes and two units (a surrogate pair); a stray
// continuation byte counts one unit.
TEST(TextDocument, PositionsCountBytesOrUtf16Units) {
  const TextDocument document(
      "id,\xc3\xa9t\xc3\xa9,\xf0\x9f\x98\x80,x\r\n\x80z,\xf0\x9f\x98\x80\n");
  const struct {
    std::size_t offset;
    Position utf8;
    Position utf16;
  } cases[] = {
      {0, {0, 0}, {0, 0}},  {3, {0, 3}, {0, 3}},   {5, {0, 5}, {0, 4}},    {8, {0, 8}, {0, 6}},
      {9, {0, 9}, {0, 7}},  {13, {0, 13}, {0, 9}}, {14, {0, 14}, {0, 10}}, {15, {0, 15}, {0, 11}},
      {17, {1, 0}, {1, 0}}, {18, {1, 1}, {1, 1}},  {20, {1, 3}, {1, 3}},   {24, {1, 7}, {1, 5}},
      {25, {2, 0}, {2, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(document.position_of(c.offset, PositionEncoding::Utf8), c.utf8);
    EXPECT_EQ(document.position_of(c.offset, PositionEncoding::Utf16), c.utf16);
    EXPECT_EQ(document.offset_of(c.utf8, PositionEncoding::Utf8), c.offset);
    EXPECT_EQ(document.offset_of(c.utf16, PositionEncoding::Utf16), c.offset);
  }
  // Past a line's end is its end (before CR LF); past the last line, the text's end; inside a
  // surrogate pair, the character's beginning.
  EXPECT_EQ(document.offset_of({0, 99}, PositionEncoding::Utf16), 15u);
  EXPECT_EQ(document.offset_of({0, 99}, PositionEncoding::Utf8), 15u);
  EXPECT_EQ(document.offset_of({7, 0}, PositionEncoding::Utf16), 25u);
  EXPECT_EQ(document.offset_of({0, 8}, PositionEncoding::Utf16), 9u);
  EXPECT_EQ(document.offset_of({1, 4}, PositionEncoding::Utf16), 20u);
}

TEST(TextDocument, AWalkAlongALongLineGoesOn) {
  std::string line(1 << 20, 'a');
  for (std::size_t at = 1000; at + 4 < line.size(); at += 4099)
    line.replace(at, 4, "\xf0\x9f\x98\x80");
  const TextDocument document(line);
  Utf16Walk walk;
  std::uint64_t previous = 0;
  // Ascending places go on from the last; each answer agrees with a walk from the beginning.
  for (std::size_t byte = 0; byte <= line.size(); byte += 65537) {
    const std::uint64_t units = document.character_of(0, byte, PositionEncoding::Utf16, walk);
    Utf16Walk fresh;
    EXPECT_EQ(units, document.character_of(0, byte, PositionEncoding::Utf16, fresh));
    EXPECT_GE(units, previous);
    // A place inside a character stands for its beginning.
    EXPECT_LE(walk.byte, byte);
    EXPECT_LT(byte - walk.byte, 4u);
    previous = units;
    EXPECT_EQ(document.offset_of({0, units}, PositionEncoding::Utf16), walk.byte);
  }
}

TEST(ContentChange, EditsInUtf16AndUtf8Positions) {
  TextDocument document("k,\xf0\x9f\x98\x80\xc3\xa9,flase\r\nnext\r\n");
  std::optional<ChangedLines> changed = ChangedLines{};
  Json change = Json::parse(
      R"({"range":{"start":{"line":0,"character":6},"end":{"line":0,"character":11}},"text":"false"})");
  EXPECT_EQ(apply_content_change(document, change, PositionEncoding::Utf16, changed), "");
  EXPECT_EQ(document.text(), "k,\xf0\x9f\x98\x80\xc3\xa9,false\r\nnext\r\n");
  EXPECT_EQ(changed, (ChangedLines{0, 1, 1}));
  // Joins the lines: the range ends at the next line's start, taking CR LF with it.
  change = Json::parse(
      R"({"range":{"start":{"line":0,"character":14},"end":{"line":1,"character":0}},"text":";"})");
  EXPECT_EQ(apply_content_change(document, change, PositionEncoding::Utf8, changed), "");
  EXPECT_EQ(document.text(), "k,\xf0\x9f\x98\x80\xc3\xa9,false;next\r\n");
  EXPECT_EQ(document.line_count(), 2u);
  EXPECT_EQ(changed, (ChangedLines{0, 2, 1}));
  change = Json::parse(R"({"text":"whole"})");
  EXPECT_EQ(apply_content_change(document, change, PositionEncoding::Utf8, changed), "");
  EXPECT_EQ(document.text(), "whole");
  EXPECT_EQ(changed, std::nullopt);
  for (const char* bad :
       {R"({"range":{"start":{"line":-1,"character":0},"end":{"line":0,"character":0}},"text":""})",
        R"({"range":{"start":{"line":0}},"text":""})", R"({"range":1})",
        R"({"range":{"start":{"line":0,"character":0},"end":{"line":0,"character":1}}})",
        R"([])"}) {
    change = Json::parse(bad);
    EXPECT_NE(apply_content_change(document, change, PositionEncoding::Utf8, changed), "") << bad;
    EXPECT_EQ(document.text(), "whole");
  }
}

}  // namespace
}  // namespace unitcheck::server
