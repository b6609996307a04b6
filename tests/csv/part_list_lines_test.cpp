#include "csv/part_list_lines.h"

#include "csv/line_chunks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/input_file.h"

namespace unitcheck {
namespace {

// A file with the given bytes in the test's temporary folder, removed at the end of the scope.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes) {
    static int counter = 0;
    path_ = std::filesystem::path(testing::TempDir()) /
            ("part_list_lines_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

std::vector<std::string> part_list_lines(const std::string& text) {
  std::vector<std::string> lines;
  for_each_part_list_line(text, [&](std::string_view line) { lines.emplace_back(line); });
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

TEST(PartListLines, OnlyLfEndsALine) {
  for (const LineCase& c : kLineCases) {
    SCOPED_TRACE(testing::Message() << "bytes " << c.bytes);
    EXPECT_EQ(part_list_lines(c.bytes), c.part_list);
    // Read whole from a file, the text is the same.
    const TempFile file(c.bytes);
    EXPECT_EQ(read_whole_file(file.path()), c.bytes);
  }
}

// Empty lines and lines that begin with a comma make no record; the cells of the others are cut
// in the delimited-text dialect.
TEST(PartListLines, RecordsSkipEmptyLinesAndLeadingCommas) {
  std::vector<std::string> records;
  for_each_part_list_record("file,categoryname\n\n,x\n \"a,b\" , c\r\nlast",
                            [&](const std::vector<std::string_view>& cells) {
                              std::string record;
                              for (const std::string_view cell : cells)
                                record.append(cell).append("|");
                              records.push_back(record);
                            });
  EXPECT_EQ(records, (std::vector<std::string>{"file|categoryname|", "a,b|c|"}));
}

TEST(LineReaders, MissingFileFailsToOpen) {
  const std::string path = testing::TempDir() + "/no_such_file.csv";
  try {
    UnitChunkReader::from_file(path);
    FAIL() << "opened " << path;
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), "EFOpenError");
    EXPECT_EQ(failure.message(), "Unable to open file \"" + path + "\"");
  }
  EXPECT_THROW(read_whole_file(path), Failure);
}

}  // namespace
}  // namespace unitcheck
