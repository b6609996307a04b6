#include "csv/line_reader.h"

#include "csv/line_chunks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
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

std::vector<std::string> part_list_lines(const std::string& path, std::size_t buffer_size) {
  PartListLineReader reader(path, buffer_size);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next_line(line)) lines.emplace_back(line);
  return lines;
}

struct LineCase {
  std::string bytes;
  std::vector<std::string> part_list;  // LF only; text after the last LF is dropped
};

const std::string kLong(1000, 'x');

const LineCase kLineCases[] = {
    {"", {}},
    {"a", {}},
    {"a\n", {"a"}},
    {"a\nb", {"a"}},
    {"a\r\nb\r\n", {"a\r", "b\r"}},
    {"a\rb\r", {}},
    {"\r\r\r", {}},
    {"\r\n", {"\r"}},
    {"\n\r", {""}},
    {"\r\r\n\n", {"\r\r", ""}},
    {"ab\n\ncd\r\n\r\nef\rgh", {"ab", "", "cd\r", "\r"}},
    {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    {kLong + "\r\n" + kLong + "\r" + "y", {kLong + "\r"}},
};

TEST(PartListLineReader, SplitsLinesAtEveryBufferSize) {
  // Small buffers put every line end, and every CR LF pair, across a buffer boundary.
  for (const std::size_t buffer_size :
       {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, kLineReaderBufferSize}) {
    for (const LineCase& c : kLineCases) {
      SCOPED_TRACE(testing::Message() << "buffer " << buffer_size << ", bytes " << c.bytes);
      const TempFile file(c.bytes);
      EXPECT_EQ(part_list_lines(file.path(), buffer_size), c.part_list);
    }
  }
}

TEST(LineReaders, MissingFileFailsToOpen) {
  const std::string path = testing::TempDir() + "/no_such_file.csv";
  try {
    UnitChunkReader reader(path);
    FAIL() << "opened " << path;
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), "EFOpenError");
    EXPECT_EQ(failure.message(), "Unable to open file \"" + path + "\"");
  }
  EXPECT_THROW(PartListLineReader{path}, Failure);
}

}  // namespace
}  // namespace unitcheck
