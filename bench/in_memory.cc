// Times the evaluation in memory inside one process: both files are read
// first, then EvaluateInMemory runs rounds times on their bytes. Prints the
// median and the fastest time in milliseconds, and fails when the report
// differs from the expected one. Built natively and for WebAssembly (run under
// Node.js), so that the two are timed alike.
//
//   bench_in_memory <input.txt> <submission.txt> <expected report> <rounds>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/evaluation.h"

namespace {

// Returns the bytes of path, or fails the program.
std::string ReadFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    std::fprintf(stderr, "bench_in_memory: cannot read %s\n", path);
    std::exit(1);
  }
  std::string bytes;
  char block[1 << 16];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
    bytes.append(block, got);
  std::fclose(file);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || std::atoi(argv[4]) < 1) {
    std::fprintf(
        stderr, "usage: bench_in_memory <input.txt> <submission.txt> <expected report> <rounds>\n");
    return 1;
  }
  const std::string testData = ReadFile(argv[1]);
  const std::string submission = ReadFile(argv[2]);
  const std::string expected = ReadFile(argv[3]);
  std::vector<double> milliseconds;
  for (int round = std::atoi(argv[4]); round > 0; --round) {
    const auto start = std::chrono::steady_clock::now();
    const std::string report = zobnikari::EvaluateInMemory(testData, submission);
    milliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    if (report != expected) {
      std::fprintf(stderr, "bench_in_memory: the report differs from %s\n", argv[3]);
      return 1;
    }
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("median %.2f ms, fastest %.2f ms\n", milliseconds[milliseconds.size() / 2],
              milliseconds.front());
  return 0;
}
