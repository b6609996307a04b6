// Splitting a unit line of 116 cells, splitting a part-list line, and reading lines from a large
// file with both line readers.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "csv/line_chunks.h"
#include "csv/part_list_lines.h"
#include "csv/split_delimited_text.h"
#include "csv/split_unit_row.h"
#include "platform/input_file.h"

namespace {

constexpr int kUnitFields = 116;

// A unit line as the game's files hold them: names, numbers, booleans, empty cells, a few
// quoted texts and nested lists.
std::string make_unit_line(int unit) {
  const std::string name = "Llama" + std::to_string(unit);
  std::string line = name + ".begin," + name + "," + name + ",Fighter,";
  for (int column = 4; column < kUnitFields; ++column) {
    switch (column % 9) {
      case 0:
        line += "{mult_gun;-1;1}{laser;2;3}{tractor;0;0}";
        break;
      case 1:
        line += "\"Light fighter, fast and cheap\"";
        break;
      case 2:
        line += std::to_string(unit * 37 + column);
        break;
      case 3:
        line += "12.75";
        break;
      case 4:
        line += "TRUE";
        break;
      case 5:
        break;
      case 6:
        line += "{Food/Natural;1;2;3;4;5;6}{Contraband;7;8;9;10;11;12}";
        break;
      case 7:
        line += name + ".bfxm";
        break;
      default:
        line += "-3.5e2";
        break;
    }
    if (column + 1 < kUnitFields) line += ',';
  }
  return line;
}

void BM_SplitUnitRow(benchmark::State& state) {
  const std::string line = make_unit_line(7);
  if (unitcheck::split_unit_row(line, kUnitFields, [](int, std::string_view) {}).cell_count !=
      kUnitFields) {
    state.SkipWithError("the unit line does not have 116 cells");
  }
  for (auto _ : state) {
    std::size_t bytes = 0;
    const unitcheck::RowShape shape =
        unitcheck::split_unit_row(line, kUnitFields, [&](int, std::string_view cell) {
          bytes += cell.size();
          benchmark::DoNotOptimize(cell.data());
        });
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(shape);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
  state.counters["cells"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kUnitFields, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SplitUnitRow);

void BM_SplitDelimitedText(benchmark::State& state) {
  const std::string line = "mult_gun,upgrades/Weapons/Mount_Guns,12500,1.5,0.75,\"Gun, light\"\r";
  // As the part-list loader calls it: cells as views, the unquoting buffer reused.
  std::vector<std::string_view> cells;
  std::string unquoted;
  for (auto _ : state) {
    unitcheck::split_delimited_text(line, cells, unquoted);
    benchmark::DoNotOptimize(cells.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_SplitDelimitedText);

// A temporary file of about 128 MiB of unit lines, removed when the program ends.
class UnitFile {
 public:
  explicit UnitFile(const std::string& line_end) {
    path_ = std::filesystem::temp_directory_path() /
            ("unit_lines_" + std::to_string(::getpid()) + "_" + std::to_string(line_end.size()));
    std::ofstream out(path_, std::ios::binary);
    for (int unit = 0; size_ < (std::size_t{128} << 20); ++unit) {
      const std::string line = make_unit_line(unit) + line_end;
      out << line;
      size_ += line.size();
    }
  }
  ~UnitFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }
  std::size_t size() const { return size_; }

 private:
  std::filesystem::path path_;
  std::size_t size_ = 0;
};

const UnitFile& unit_file(bool crlf) {
  static const UnitFile lf("\n");
  static const UnitFile cr_lf("\r\n");
  return crlf ? cr_lf : lf;
}

// The way the row checks read the unit file: chunks of whole lines, counted, then cut into lines.
void BM_UnitChunkReader(benchmark::State& state) {
  const UnitFile& file = unit_file(state.range(0) != 0);
  for (auto _ : state) {
    unitcheck::UnitChunkReader chunks = unitcheck::UnitChunkReader::from_file(file.path());
    std::string storage;
    unitcheck::LineChunk chunk;
    std::int64_t lines = 0;
    while (chunks.next(storage, chunk)) {
      lines += chunk.line_count;
      unitcheck::for_each_unit_line(chunk.text,
                                    [](std::string_view line) { benchmark::DoNotOptimize(line); });
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_UnitChunkReader)->ArgName("crlf")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PartListLines(benchmark::State& state) {
  const UnitFile& file = unit_file(state.range(0) != 0);
  for (auto _ : state) {
    const std::string text = unitcheck::read_whole_file(file.path());
    std::size_t lines = 0;
    unitcheck::for_each_part_list_line(text, [&](std::string_view) { ++lines; });
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_PartListLines)->ArgName("crlf")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
