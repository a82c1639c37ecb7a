// Faults of the machine in whole runs of the program (Linux): libfiu's POSIX
// preload wraps the C library's fopen, fread, fwrite, fclose, malloc, realloc
// and mmap, and the project's own preload (fault_preload.cc) fails exactly the
// Nth call at one of them, counted from the start of main. For each point
// every N is tried in turn until the run goes through untouched; each outcome
// must be one that the program allows for that fault (fault_outcomes.h).
#include <sys/wait.h>

#include <cerrno>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fault_outcomes.h"
#include "spawn.h"
#include "temp_file.h"

#if !defined(ZOBNIKARI_PROGRAM) || !defined(ZOBNIKARI_FAULT_PRELOAD) || \
    !defined(ZOBNIKARI_FIU_POSIX_PRELOAD)
#error "the build names the program and both preloads"
#endif

extern char** environ;

namespace zobnikari {
namespace {

using cases::ReportCase;
using faults::Outcome;
using faults::Shape;

// One of libfiu's failure points, the kind of call it fails and the errno
// value the failing call leaves.
struct Point {
  const char* name;
  FaultPoint call;
  int error;
  bool mayBeIgnored;  // a failure here may be of no consequence
};

const Point kPoints[] = {
    {"posix/stdio/oc/fopen", FaultPoint::kOpen, EMFILE, false},
    {"posix/stdio/rw/fread", FaultPoint::kRead, EIO, false},
    {"posix/stdio/rw/fwrite", FaultPoint::kWrite, EIO, false},
    // Closing an input that was read to its end cannot change the report.
    {"posix/stdio/oc/fclose", FaultPoint::kWrite, EIO, true},
    {"libc/mm/malloc", FaultPoint::kAllocate, ENOMEM, false},
    {"libc/mm/realloc", FaultPoint::kAllocate, ENOMEM, false},
    {"posix/mm/mmap", FaultPoint::kAllocate, ENOMEM, false},
};

// The files of one evaluation in a folder of their own, and the program run
// on them under the preloads.
class Evaluation {
 public:
  explicit Evaluation(const ReportCase& row)
      : paths_{folder_.Write("input.txt", row.testData),
               folder_.Write("submission.txt", row.submission), folder_.Path("report.txt")} {}

  const faults::Paths& paths() const { return paths_; }

  // Runs the program with the failAt-th call at point failing; sets calls
  // to the number of calls made at the point, -1 when main did not return.
  Outcome Run(const Point& point, std::int64_t failAt, std::int64_t& calls) {
    const std::string callsPath = folder_.Path("calls.txt");
    const std::string outPath = folder_.Path("stdout.txt");
    const std::string errPath = folder_.Path("stderr.txt");
    for (const std::string& path : {paths_.report, callsPath}) std::remove(path.c_str());

    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      if (std::string(*variable).rfind("LD_PRELOAD=", 0) != 0) environment.push_back(*variable);
    }
    environment.push_back("LD_PRELOAD=" ZOBNIKARI_FAULT_PRELOAD " " ZOBNIKARI_FIU_POSIX_PRELOAD);
    environment.push_back(std::string("ZOBNIKARI_FAULT_POINT=") + point.name);
    environment.push_back("ZOBNIKARI_FAULT_AT=" + std::to_string(failAt));
    environment.push_back("ZOBNIKARI_FAULT_ERRNO=" + std::to_string(point.error));
    environment.push_back("ZOBNIKARI_FAULT_CALLS=" + callsPath);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(&variable[0]);
    envp.push_back(nullptr);
    const int waitStatus =
        SpawnAndWait({ZOBNIKARI_PROGRAM, "eval", paths_.testData, paths_.submission, paths_.report},
                     envp.data(), outPath, errPath);
    Outcome outcome{-1000, "", ""};
    if (waitStatus == -1) return outcome;
    outcome.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
    outcome.report = folder_.Read("report.txt");
    outcome.err = folder_.Read("stderr.txt");
    const std::string counted = folder_.Read("calls.txt");
    calls = counted == "<none>" ? -1 : std::stoll(counted);
    return outcome;
  }

 private:
  TempFolder folder_;
  faults::Paths paths_;
};

TEST(ProcessFaults, EveryFailingCallOfTheProgramGivesAnAllowedOutcome) {
  std::vector<ReportCase> rows = faults::Rows();
  // Large enough for the finishing orders' block to be mapped (mmap).
  rows.push_back(faults::Generated("one_test_case_of_1000_by_1000", 1, 1000, 1000));
  std::map<std::string, std::map<std::string, int>> tally;
  std::map<std::string, std::int64_t> tried;
  for (const ReportCase& row : rows) {
    Evaluation evaluation(row);
    for (const Point& point : kPoints) {
      for (std::int64_t failAt = 1;; ++failAt) {
        std::int64_t calls = 0;
        const Outcome outcome = evaluation.Run(point, failAt, calls);
        ASSERT_GE(calls, 0) << row.name << ", " << point.name << " " << failAt
                            << " fails: main did not return; status " << outcome.status
                            << ", standard error \"" << outcome.err << "\"";
        if (calls < failAt) {
          // Past the last call: the run went through untouched.
          EXPECT_EQ(outcome.status, 0) << row.name << ", " << point.name;
          EXPECT_EQ(outcome.report, row.report) << row.name << ", " << point.name;
          EXPECT_EQ(outcome.err, "") << row.name << ", " << point.name;
          break;
        }
        ++tried[point.name];
        std::string why;
        const Shape shape = faults::ShapeOf(outcome, row.report, point.call, failAt,
                                            evaluation.paths(), point.mayBeIgnored, why);
        ++tally[point.name][faults::NameOf(shape)];
        EXPECT_NE(shape, Shape::kOther)
            << row.name << ", " << point.name << " " << failAt << " fails: " << why;
        ASSERT_LT(failAt, 100000) << "the calls never end";
      }
    }
  }
  // The preloads reach every kind of call the program makes.
  for (const Point& point : kPoints) EXPECT_GT(tried[point.name], 0) << point.name;
  for (const auto& [point, shapes] : tally) {
    std::cout << point << ":";
    for (const auto& [shape, count] : shapes) std::cout << " " << shape << " " << count << ";";
    std::cout << std::endl;
  }
}

}  // namespace
}  // namespace zobnikari
