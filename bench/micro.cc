// Micro-benchmarks of the two loops that every input byte passes through: the
// line reader and the list parser, in bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_reader.h"
#include "common/numbers.h"

namespace {

// Returns a line of count numbers from 1 to 1000, separated by single blanks.
std::string NumberLine(int count) {
  std::string line;
  unsigned value = 12345;
  for (int i = 0; i < count; ++i) {
    value = value * 1103515245u + 12345u;
    if (i > 0) line += ' ';
    line += std::to_string(value % 1000 + 1);
  }
  return line;
}

void BM_ParseIntList(benchmark::State& state) {
  const std::string line = NumberLine(1000);
  std::vector<std::int32_t> values;
  for (auto _ : state) {
    benchmark::DoNotOptimize(zobnikari::ParseIntList(line, values, 1000));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_ParseIntList);

void BM_LineReader(benchmark::State& state) {
  // 16 MB of 1000-number lines in a scratch file, read whole per iteration.
  const std::string line = NumberLine(1000) + "\n";
  const char* path = "bench_line_reader.tmp";
  std::FILE* out = std::fopen(path, "wb");
  std::size_t bytes = 0;
  while (bytes < (16u << 20)) {
    std::fwrite(line.data(), 1, line.size(), out);
    bytes += line.size();
  }
  std::fclose(out);
  for (auto _ : state) {
    zobnikari::LineReader reader{std::string(path)};
    std::string_view text;
    std::size_t lines = 0;
    while (reader.NextLine(text)) ++lines;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  std::remove(path);
}
BENCHMARK(BM_LineReader);

}  // namespace

BENCHMARK_MAIN();
