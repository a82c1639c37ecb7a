// Times the evaluation in memory inside one process: both files are read
// first, then EvaluateInMemory runs rounds times on their bytes, and between
// its runs the diagnosis (Diagnose) as often. Prints the median and the
// fastest time in milliseconds of each, and the ratio of their medians, and
// fails when a report differs from the expected one. Built natively and for
// WebAssembly (run under Node.js), so that the two are timed alike. With
// "evaluation" or "diagnosis" last, runs that one alone, so that the
// process's peak memory is its own.
//
//   bench_in_memory <input.txt> <submission.txt> <expected report> <rounds>
//                   [evaluation | diagnosis]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/diagnosis.h"
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

// Returns the milliseconds since start.
double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// Says that a report differs from the one in path, and returns the exit
// status for it.
int Differs(const char* path) {
  std::fprintf(stderr, "bench_in_memory: a report differs from %s\n", path);
  return 1;
}

// Returns the median of times.
double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc == 6 ? argv[5] : "";
  if ((argc != 5 && argc != 6) || std::atoi(argv[4]) < 1 ||
      (argc == 6 && only != "evaluation" && only != "diagnosis")) {
    std::fprintf(stderr,
                 "usage: bench_in_memory <input.txt> <submission.txt> <expected report> <rounds> "
                 "[evaluation | diagnosis]\n");
    return 1;
  }
  const std::string testData = ReadFile(argv[1]);
  const std::string submission = ReadFile(argv[2]);
  const std::string expected = ReadFile(argv[3]);
  std::vector<double> evaluation;
  std::vector<double> diagnosis;
  for (int round = std::atoi(argv[4]); round > 0; --round) {
    if (only != "diagnosis") {
      const auto start = std::chrono::steady_clock::now();
      const std::string report = zobnikari::EvaluateInMemory(testData, submission);
      evaluation.push_back(Since(start));
      if (report != expected) return Differs(argv[3]);
    }
    if (only != "evaluation") {
      const auto start = std::chrono::steady_clock::now();
      const zobnikari::Diagnosis diagnosed = zobnikari::Diagnose(testData, submission);
      diagnosis.push_back(Since(start));
      if (diagnosed.placed.report != expected) return Differs(argv[3]);
    }
  }
  if (!evaluation.empty()) {
    std::printf("median %.2f ms, fastest %.2f ms\n", Median(evaluation),
                *std::min_element(evaluation.begin(), evaluation.end()));
  }
  if (!diagnosis.empty()) {
    std::printf("diagnosis median %.2f ms, fastest %.2f ms", Median(diagnosis),
                *std::min_element(diagnosis.begin(), diagnosis.end()));
    if (!evaluation.empty())
      std::printf(", against the evaluation %.2f", Median(diagnosis) / Median(evaluation));
    std::printf("\n");
  }
  return 0;
}
