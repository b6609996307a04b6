#pragma once

#include <cstdint>
#include <string_view>

#include "tables/max_lengths.h"
#include "validate/finding.h"

namespace unitcheck {

class FileTests;
class UnitChunkReader;
struct PartList;
struct PathJudging;
struct UnitHeader;

// Checks every line that rows holds, the file lines after the header, in chunks of whole lines
// on worker threads (with none, on the calling thread). The findings of a chunk are rendered by
// writer on the thread that checks it and written in reading order; a chunk holds back only a
// bounded amount of rendered text, so memory follows the input, not the output. Returns the
// longest text seen per column, the number of lines read and of unit lines checked. The files
// that cells name are looked for under data_directory (which ends with a separator) through
// file_tests, which may remember answers from earlier runs. Given paths, path cells that lead
// out of the data directory are found too.
struct UnitRows {
  MaxLengths max_lengths;
  std::int64_t lines = 0;          // every file line after the header, blank ones included
  std::int64_t checked_lines = 0;  // the lines checked: not blank, with a key
};
UnitRows check_unit_rows(const UnitHeader& header, UnitChunkReader& rows, const PartList& part_list,
                         std::string_view data_directory, FileTests& file_tests,
                         FindingWriter& writer, unsigned worker_threads,
                         const PathJudging* paths = nullptr);
// The same with file tests made on the disk and remembered for this run only.
UnitRows check_unit_rows(const UnitHeader& header, UnitChunkReader& rows, const PartList& part_list,
                         std::string_view data_directory, FindingWriter& writer,
                         unsigned worker_threads, const PathJudging* paths = nullptr);

}  // namespace unitcheck
