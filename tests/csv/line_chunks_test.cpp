#include "csv/line_chunks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "csv/line_reader.h"
#include "support/temp_dir.h"

namespace unitcheck {
namespace {

// The lines as UnitLineReader reads them after the first line, the way the row loop reads
// them: at least one, the last possibly empty when nothing follows the first line.
std::vector<std::string> lines_by_reader(const std::string& path) {
  UnitLineReader reader(path, 3);
  reader.read_line();
  std::vector<std::string> lines;
  do {
    lines.emplace_back(reader.read_line());
  } while (!reader.at_end());
  return lines;
}

struct ChunkedLines {
  std::vector<std::string> lines;
  std::int64_t counted = 0;  // the sum of count_unit_lines over the chunks
  std::vector<std::string> chunks;
};

// The same file read through a UnitLineReader for its first line, then cut into chunks.
ChunkedLines lines_by_chunks(const std::string& path, std::size_t target) {
  UnitLineReader reader(path, 3);
  reader.read_line();
  UnitChunkReader chunk_reader(reader, target);
  ChunkedLines result;
  std::string storage;
  std::string_view chunk;
  while (chunk_reader.next(storage, chunk)) {
    result.chunks.emplace_back(chunk);
    result.counted += count_unit_lines(chunk);
    for_each_unit_line(chunk, [&](std::string_view line) { result.lines.emplace_back(line); });
  }
  return result;
}

TEST(UnitChunkReader, CutsTheSameLinesAsTheLineReaderWhateverTheChunkSize) {
  // Texts of line ends of every kind, empty lines, and no line end at the end.
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', ',', '\r', '\n'};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
    testing::TempDir dir;
    dir.write("units.csv", text);
    const std::vector<std::string> expected = lines_by_reader(dir / "units.csv");
    for (std::size_t target : {1, 2, 3, 5, 64}) {
      const ChunkedLines chunked = lines_by_chunks(dir / "units.csv", target);
      std::vector<std::string> lines = chunked.lines;
      // The row loop always reads once, so with nothing left it sees one empty line.
      if (lines.empty()) lines.emplace_back();
      ASSERT_EQ(lines, expected) << "text '" << text << "' target " << target;
      ASSERT_EQ(chunked.counted, static_cast<std::int64_t>(chunked.lines.size()));
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
  dir.write("units.csv", "header\r\n" + long_line + "\r\nshort\n");
  const ChunkedLines chunked = lines_by_chunks(dir / "units.csv", 1000);
  EXPECT_EQ(chunked.lines, (std::vector<std::string>{long_line, "short"}));
}

TEST(CountUnitLines, CountsEachKindOfLineEndOnceAndAnUnendedLastLine) {
  EXPECT_EQ(count_unit_lines(""), 0);
  EXPECT_EQ(count_unit_lines("a"), 1);
  EXPECT_EQ(count_unit_lines("\n"), 1);
  EXPECT_EQ(count_unit_lines("\r\n"), 1);
  EXPECT_EQ(count_unit_lines("\n\r"), 2);
  EXPECT_EQ(count_unit_lines("a\rb\r\nc\nd"), 4);
  EXPECT_EQ(count_unit_lines("\r\r\n\n"), 3);
}

}  // namespace
}  // namespace unitcheck
