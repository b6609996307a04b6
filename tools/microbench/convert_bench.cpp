// Conversion cost per cell, for the cells that unit tables typically hold.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "tables/convert.h"

namespace {

constexpr std::array<std::string_view, 5> kFloatCells = {"1234.5", "-0.25", "3e-4", "12",
                                                         "1e999999999"};
constexpr std::array<std::string_view, 4> kIntegerCells = {"12", "-40000", "1000000000000",
                                                           "$FFFF"};

// Runs convert on the cell chosen by the benchmark's argument and labels the result with it.
template <std::size_t N, class Convert>
void run_cell(benchmark::State& state, const std::array<std::string_view, N>& cells,
              Convert convert) {
  const std::string_view cell = cells[static_cast<std::size_t>(state.range(0))];
  for ([[maybe_unused]] auto _ : state) {
    std::string_view text = cell;
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(convert(text));
  }
  state.SetLabel(std::string(cell));
}

void convert_float_cell(benchmark::State& state) {
  run_cell(state, kFloatCells, unitcheck::convert_float);
}
void float_error_position_cell(benchmark::State& state) {
  run_cell(state, kFloatCells, unitcheck::float_error_position);
}
void convert_int64_cell(benchmark::State& state) {
  run_cell(state, kIntegerCells, unitcheck::convert_int64);
}

BENCHMARK(convert_float_cell)->DenseRange(0, kFloatCells.size() - 1);
BENCHMARK(float_error_position_cell)->DenseRange(0, kFloatCells.size() - 1);
BENCHMARK(convert_int64_cell)->DenseRange(0, kIntegerCells.size() - 1);

}  // namespace
