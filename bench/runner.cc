// The benchmark: generates large valid inputs, checks that the evaluator's
// reports equal the expected ones, and measures the evaluator against the
// parse-only floor and against cat (the cost of having the bytes at all) in
// the same run, alternating the three. Prints Markdown tables. Linux only: it
// spawns programs and reads their resource usage.
//
//   bench_runner <evaluator> <floor> <generator> <data folder> [--smoke]
//                [--also <name> <evaluator>]...
//
// --smoke: one test case per preset and few runs, to show that the benchmark
// works; its figures judge nothing.
// --also: another build of the evaluator (the portable scan build, say),
// measured in the same alternation and listed under its name.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Preset {
  const char* name;
  int n, d, k, m;
};

const Preset kPresets[] = {{"max", 1000, 1000, 500, 250}, {"wide", 1000, 1000, 999, 1}};

struct Run {
  double seconds = 0;        // wall time
  double userSeconds = 0;    // time in user mode
  double kernelSeconds = 0;  // time in the kernel
  long pageFaults = 0;       // minor and major
  long peakKilobytes = 0;
  int status = -1;
};

// Runs program with arguments, its standard output and error sent to
// errorFile (or discarded), and returns its wall time and peak memory.
Run Spawn(const std::vector<std::string>& command, const char* errorFile = "/dev/null") {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen(errorFile, "w", stderr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.userSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6;
  run.kernelSeconds = usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  run.pageFaults = usage.ru_minflt + usage.ru_majflt;
  run.peakKilobytes = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t half = values.size() / 2;
  return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// Returns the mean of one figure of runs. User and kernel time are counted
// by the scheduler's tick (4 ms here), so one run's figure is a multiple of
// it and a median sticks to one; the mean of many runs is the true time.
template <typename Figure>
double Mean(const std::vector<Run>& runs, Figure figure) {
  double sum = 0;
  for (const Run& run : runs) sum += figure(run);
  return runs.empty() ? 0 : sum / static_cast<double>(runs.size());
}

// Returns the median of one figure of runs.
template <typename Figure>
double Median(const std::vector<Run>& runs, Figure figure) {
  std::vector<double> values;
  for (const Run& run : runs) values.push_back(figure(run));
  return Median(values);
}

// Returns the instructions that valgrind's callgrind counts for command, or 0
// when valgrind is not there.
double Instructions(const std::vector<std::string>& command, const std::string& scratch) {
  static const bool present = access("/usr/bin/valgrind", X_OK) == 0;
  if (!present) return 0;
  std::vector<std::string> full = {"/usr/bin/valgrind", "--tool=callgrind",
                                   "--callgrind-out-file=/dev/null"};
  full.insert(full.end(), command.begin(), command.end());
  const std::string log = scratch + "/callgrind.log";
  Spawn(full, log.c_str());
  std::istringstream lines(ReadFile(log));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find("Collected : ");
    if (at != std::string::npos) return std::strtod(line.c_str() + at + 12, nullptr);
  }
  return 0;
}

struct Data {
  std::string folder, input, submission, report, expected;
};

// Generates a preset with cases test cases under root, unless it is there.
Data Generate(const std::string& generator, const std::string& root, const Preset& preset,
              int cases) {
  Data data;
  data.folder = root + "/" + preset.name + "-" + std::to_string(cases);
  data.input = data.folder + "/input.txt";
  data.submission = data.folder + "/submission.txt";
  data.report = data.folder + "/report.txt";
  data.expected = data.folder + "/expected_report.txt";
  if (access(data.expected.c_str(), R_OK) != 0) {
    Spawn({"/bin/mkdir", "-p", data.folder});
    const Run run =
        Spawn({generator, data.folder, std::to_string(cases), std::to_string(preset.n),
               std::to_string(preset.d), std::to_string(preset.k), std::to_string(preset.m)});
    if (run.status != 0) {
      std::fprintf(stderr, "bench_runner: generating %s failed\n", data.folder.c_str());
      std::exit(1);
    }
  }
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  const char* const usage =
      "usage: bench_runner <evaluator> <floor> <generator> <data folder> [--smoke] "
      "[--also <name> <evaluator>]...\n";
  if (argc < 5) {
    std::fputs(usage, stderr);
    return 1;
  }
  const std::string evaluator = argv[1];
  const std::string floor = argv[2];
  const std::string generator = argv[3];
  const std::string root = argv[4];
  bool smoke = false;
  // The programs measured: the evaluator, any other builds of it, the floor
  // and cat, in this order.
  std::vector<std::string> names = {"evaluator"};
  std::vector<std::string> programs = {evaluator};
  for (int i = 5; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--smoke") {
      smoke = true;
    } else if (option == "--also" && i + 2 < argc) {
      names.push_back(argv[i + 1]);
      programs.push_back(argv[i + 2]);
      i += 2;
    } else {
      std::fputs(usage, stderr);
      return 1;
    }
  }
  const std::size_t evaluators = programs.size();
  const std::size_t floorAt = evaluators;
  names.push_back("floor");
  names.push_back("cat");
  const std::size_t count = names.size();
  const int cases = smoke ? 1 : 10;
  const int rounds = smoke ? 3 : 11;

  std::printf(
      "| preset | program | wall ms | user ms | kernel ms | page faults | peak MB | Minstr | "
      "wall / floor | kernel / floor |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
  for (const Preset& preset : kPresets) {
    const Data data = Generate(generator, root, preset, cases);
    std::vector<std::vector<std::string>> commands;
    for (const std::string& program : programs) {
      commands.push_back({program, "eval", data.input, data.submission, data.report});
    }
    commands.push_back({floor, data.input, data.submission});
    commands.push_back({"/bin/cat", data.input, data.submission});
    for (std::size_t p = 0; p < evaluators; ++p) {
      std::remove(data.report.c_str());
      Spawn(commands[p]);
      if (ReadFile(data.report) != ReadFile(data.expected)) {
        std::fprintf(stderr, "bench_runner: %s: the report of %s differs from %s\n",
                     data.folder.c_str(), names[p].c_str(), data.expected.c_str());
        return 1;
      }
    }
    // The programs in turn, run after run, so that the machine's moods touch
    // them alike; then the median of each figure (the mean of user and
    // kernel time).
    std::vector<std::vector<Run>> runs(count);
    for (int r = 0; r < rounds; ++r) {
      for (std::size_t p = 0; p < count; ++p) runs[p].push_back(Spawn(commands[p]));
    }
    struct Figures {
      double wall, user, kernel, faults, peak, instructions;
    };
    std::vector<Figures> figures;
    for (std::size_t p = 0; p < count; ++p) {
      figures.push_back({Median(runs[p], [](const Run& run) { return run.seconds * 1000; }),
                         Mean(runs[p], [](const Run& run) { return run.userSeconds * 1000; }),
                         Mean(runs[p], [](const Run& run) { return run.kernelSeconds * 1000; }),
                         Median(runs[p], [](const Run& run) { return double(run.pageFaults); }),
                         Median(runs[p], [](const Run& run) { return run.peakKilobytes / 1024.0; }),
                         p <= floorAt ? Instructions(commands[p], data.folder) / 1e6 : 0.0});
    }
    const double megabytes =
        static_cast<double>(ReadFile(data.input).size() + ReadFile(data.submission).size()) / 1e6;
    for (std::size_t p = 0; p < count; ++p) {
      const Figures& f = figures[p];
      char label[64];
      std::snprintf(label, sizeof label, "%s (%d cases, %.1f MB)", preset.name, cases, megabytes);
      std::printf(
          "| %s | %s | %.1f | %.1f | %.1f | %.0f | %.1f | %s | %.2f | %.2f |\n",
          p == 0 ? label : "", names[p].c_str(), f.wall, f.user, f.kernel, f.faults, f.peak,
          f.instructions > 0 ? std::to_string(static_cast<long>(f.instructions)).c_str() : "-",
          f.wall / figures[floorAt].wall, f.kernel / std::max(figures[floorAt].kernel, 0.1));
    }
    std::fflush(stdout);
  }

  // The evaluator's cost against the number of test cases, on "max".
  std::printf("\n| max preset, cases | evaluator ms | ms per case |\n|---|---|---|\n");
  const std::vector<int> counts = smoke ? std::vector<int>{1, 2} : std::vector<int>{1, 2, 5, 10};
  for (int count : counts) {
    const Data data = Generate(generator, root, kPresets[0], count);
    const std::vector<std::string> evaluate = {evaluator, "eval", data.input, data.submission,
                                               data.report};
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) times.push_back(Spawn(evaluate).seconds);
    if (ReadFile(data.report) != ReadFile(data.expected)) {
      std::fprintf(stderr, "bench_runner: %s: the report differs\n", data.folder.c_str());
      return 1;
    }
    const double ms = Median(times) * 1000;
    std::printf("| %d | %.1f | %.1f |\n", count, ms, ms / count);
  }
  return 0;
}
