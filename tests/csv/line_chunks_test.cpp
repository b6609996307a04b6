#include "csv/line_chunks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace unitcheck {
namespace {

// The unit table's line rule written the plain way, byte by byte: LF, CR and CR LF end a line;
// bytes after the last line end are one more line.
std::vector<std::string> model_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') lines.push_back(line);
  return lines;
}

struct ChunkedLines {
  std::vector<std::string> lines;
  std::int64_t counted = 0;  // the sum of the chunks' line counts
  std::vector<std::string> chunks;
  std::vector<std::string> kept_lines;  // as the line ends kept with each chunk give them
  std::size_t largest_storage = 0;
};

// The file cut into chunks of about target bytes, with the first `unread` bytes read apart
// and put back first, as the header reader does.
ChunkedLines lines_by_chunks(const std::string& path, std::size_t target,
                             std::string_view put_back = {}) {
  UnitChunkReader chunk_reader = UnitChunkReader::from_file(path, target);
  if (!put_back.empty()) chunk_reader.unread(put_back);
  ChunkedLines result;
  std::string storage;
  LineChunk chunk;
  while (chunk_reader.next(storage, chunk)) {
    result.chunks.emplace_back(chunk.text);
    result.counted += chunk.line_count;
    for_each_unit_line(chunk.text, [&](std::string_view line) { result.lines.emplace_back(line); });
    for_each_chunk_line(storage, chunk.text,
                        [&](std::string_view line) { result.kept_lines.emplace_back(line); });
    result.largest_storage = std::max(result.largest_storage, storage.capacity());
  }
  return result;
}

TEST(UnitChunkReader, CutsTheLinesOfTheLineRuleWhateverTheChunkSize) {
  // Texts of line ends of every kind, empty lines, and no line end at the end.
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', ',', '\r', '\n'};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
    const std::vector<std::string> expected = model_lines(text);
    std::int64_t whole_text_lines = 0;
    for_each_unit_line(text, [&](std::string_view) { ++whole_text_lines; });
    ASSERT_EQ(whole_text_lines, static_cast<std::int64_t>(expected.size())) << text;
    testing::TempDir dir;
    const std::size_t split = text.size() / 3;
    dir.write("units.csv", text.substr(split));
    for (std::size_t target : {1, 2, 3, 5, 64}) {
      const ChunkedLines chunked =
          lines_by_chunks(dir / "units.csv", target, std::string_view(text).substr(0, split));
      ASSERT_EQ(chunked.lines, expected) << "text '" << text << "' target " << target;
      ASSERT_EQ(chunked.kept_lines, expected) << "text '" << text << "' target " << target;
      ASSERT_EQ(chunked.counted, static_cast<std::int64_t>(expected.size()));
      for (std::size_t k = 0; k + 1 < chunked.chunks.size(); ++k) {
        // A CR at the end of a chunk never has its LF in the next one.
        if (chunked.chunks[k].back() == '\r') {
          ASSERT_NE(chunked.chunks[k + 1].front(), '\n');
        }
      }
    }
  }
}

TEST(UnitChunkReader, HoldsALineLongerThanTheChunkWhole) {
  testing::TempDir dir;
  const std::string long_line(100000, 'x');
  dir.write("units.csv", long_line + "\r\nshort\r" + long_line);
  const ChunkedLines chunked = lines_by_chunks(dir / "units.csv", 1000);
  EXPECT_EQ(chunked.lines, (std::vector<std::string>{long_line, "short", long_line}));
}

// The line ends handed over with a chunk take a bounded share of its storage: a chunk of many
// short lines keeps none and its lines are found by the rule again, the same lines either way.
TEST(UnitChunkReader, KeepsTheLineEndsOfLongLinesOnly) {
  testing::TempDir dir;
  const std::string long_lines = std::string(100, 'x') + "\n" + std::string(50, 'y') + "\r\n";
  const std::string empty_lines(4096, '\n');
  for (const std::string& text :
       {long_lines + long_lines + "z", empty_lines + long_lines, long_lines + empty_lines + "\r"}) {
    dir.write("units.csv", text);
    const ChunkedLines chunked = lines_by_chunks(dir / "units.csv", 1024);
    EXPECT_EQ(chunked.kept_lines, model_lines(text));
    EXPECT_EQ(chunked.lines, model_lines(text));
    // A chunk's storage holds at most its target or one line, and a quarter more for the line
    // ends: its room, not only its size, as a string grown past its room doubles it.
    EXPECT_LE(chunked.largest_storage, 1024 + 1024 / 4 + 8);
  }
}

TEST(UnitLines, AnIncompleteTextKeepsItsUnendedLineAndALastCr) {
  UnitLines lines("a\r\nb\nc\r", false);
  std::string_view line;
  ASSERT_TRUE(lines.next(line));
  EXPECT_EQ(line, "a");
  ASSERT_TRUE(lines.next(line));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(lines.next(line));  // a LF may follow the CR
  EXPECT_EQ(lines.consumed(), 5u);
}

}  // namespace
}  // namespace unitcheck
