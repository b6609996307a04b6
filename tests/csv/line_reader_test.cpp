#include "csv/line_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/failure.h"

namespace unitcheck {
namespace {

// A file with the given bytes in the test's temporary folder, removed at the end of the scope.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes) {
    static int counter = 0;
    path_ = std::filesystem::path(testing::TempDir()) /
            ("line_reader_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Reads like the row loop: read a line, then stop when the reader is at the end.
std::vector<std::string> unit_lines(const std::string& path, std::size_t buffer_size) {
  UnitLineReader reader(path, buffer_size);
  std::vector<std::string> lines;
  do {
    lines.emplace_back(reader.read_line());
  } while (!reader.at_end());
  return lines;
}

std::vector<std::string> part_list_lines(const std::string& path, std::size_t buffer_size) {
  PartListLineReader reader(path, buffer_size);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next_line(line)) lines.emplace_back(line);
  return lines;
}

// The row loop keeps its reader after the header has been read from it.
static_assert(std::is_move_constructible_v<UnitLineReader>);

struct LineCase {
  std::string bytes;
  std::vector<std::string> unit;       // LF, CR or CR LF; a last line without an end counts
  std::vector<std::string> part_list;  // LF only; text after the last LF is dropped
};

const std::string kLong(1000, 'x');

const LineCase kLineCases[] = {
    {"", {""}, {}},
    {"a", {"a"}, {}},
    {"a\n", {"a"}, {"a"}},
    {"a\nb", {"a", "b"}, {"a"}},
    {"a\r\nb\r\n", {"a", "b"}, {"a\r", "b\r"}},
    {"a\rb\r", {"a", "b"}, {}},
    {"\r\r\r", {"", "", ""}, {}},
    {"\r\n", {""}, {"\r"}},
    {"\n\r", {"", ""}, {""}},
    {"\r\r\n\n", {"", "", ""}, {"\r\r", ""}},
    {"ab\n\ncd\r\n\r\nef\rgh", {"ab", "", "cd", "", "ef", "gh"}, {"ab", "", "cd\r", "\r"}},
    {std::string("a\0b\n", 4), {std::string("a\0b", 3)}, {std::string("a\0b", 3)}},
    {kLong + "\r\n" + kLong + "\r" + "y", {kLong, kLong, "y"}, {kLong + "\r"}},
};

TEST(LineReaders, SplitLinesAtEveryBufferSize) {
  // Small buffers put every line end, and every CR LF pair, across a buffer boundary.
  for (const std::size_t buffer_size :
       {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, kLineReaderBufferSize}) {
    for (const LineCase& c : kLineCases) {
      SCOPED_TRACE(testing::Message() << "buffer " << buffer_size << ", bytes " << c.bytes);
      const TempFile file(c.bytes);
      EXPECT_EQ(unit_lines(file.path(), buffer_size), c.unit);
      EXPECT_EQ(part_list_lines(file.path(), buffer_size), c.part_list);
    }
  }
}

TEST(LineReaders, CrLfAcrossTheDefaultBuffer) {
  const std::string first(kLineReaderBufferSize - 1, 'x');
  const TempFile file(first + "\r\n" + "y\r");
  EXPECT_EQ(unit_lines(file.path(), kLineReaderBufferSize), (std::vector<std::string>{first, "y"}));
}

TEST(UnitLineReader, ReadsEmptyTextAtTheEnd) {
  const TempFile file("a\n");
  UnitLineReader reader(file.path());
  EXPECT_FALSE(reader.at_end());
  EXPECT_EQ(reader.read_line(), "a");
  EXPECT_TRUE(reader.at_end());
  EXPECT_EQ(reader.read_line(), "");
  EXPECT_EQ(reader.read_line(), "");
  EXPECT_TRUE(reader.at_end());
}

TEST(LineReaders, MissingFileFailsToOpen) {
  const std::string path = testing::TempDir() + "/no_such_file.csv";
  try {
    UnitLineReader reader(path);
    FAIL() << "opened " << path;
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), "EFOpenError");
    EXPECT_EQ(failure.message(), "Unable to open file \"" + path + "\"");
  }
  EXPECT_THROW(PartListLineReader{path}, Failure);
}

}  // namespace
}  // namespace unitcheck
