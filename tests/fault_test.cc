// Faults of the machine, one at a time, in the program's own process: for a
// handful of evaluations, the first, second, ... Nth open, read, write and
// allocation fails in turn, until the evaluation runs through untouched. Each
// outcome must be one that the program allows for that fault: the report
// that the evaluation gives without it; for an allocation, the report for
// unexpected failures; or status 2, an empty report (or none) and one line on
// standard error that names the file and the reason. Never another report.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/platform.h"
#include "driver/evaluation.h"
#include "fault_outcomes.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

constexpr FaultPoint kPoints[] = {FaultPoint::kOpen, FaultPoint::kRead, FaultPoint::kWrite,
                                  FaultPoint::kAllocate};

// Returns the name of point, for messages.
const char* NameOf(FaultPoint point) {
  switch (point) {
    case FaultPoint::kOpen:
      return "open";
    case FaultPoint::kRead:
      return "read";
    case FaultPoint::kWrite:
      return "write";
    case FaultPoint::kAllocate:
      return "allocation";
  }
  return "?";
}

// The error codes that the failing calls give: a code that reads as no
// file would not be a fault of the machine.
#ifdef _WIN32
constexpr int kOpenCode = ERROR_TOO_MANY_OPEN_FILES;
constexpr int kReadCode = ERROR_NETNAME_DELETED;
#else
constexpr int kOpenCode = EMFILE;
constexpr int kReadCode = EIO;
#endif

// Which call fails during one evaluation, and how many calls of each kind it
// made. Counting only while armed: the test's own calls never count.
struct Plan {
  bool armed = false;
  FaultPoint point = FaultPoint::kOpen;
  std::int64_t failAt = 0;  // the failing call, counted from 1
  std::int64_t counts[4] = {0, 0, 0, 0};
  bool failed = false;  // the failing call was made
};
Plan plan;

// The fault hook: counts the call and fails the planned one.
int CountAndFail(FaultPoint point) {
  if (!plan.armed) return 0;
  const std::int64_t made = ++plan.counts[static_cast<int>(point)];
  if (point != plan.point || made != plan.failAt) return 0;
  plan.failed = true;
  switch (point) {
    case FaultPoint::kOpen:
      return kOpenCode;
    case FaultPoint::kRead:
      return kReadCode;
    case FaultPoint::kWrite:
      return EIO;
    case FaultPoint::kAllocate:
      return ENOMEM;
  }
  return EIO;
}

}  // namespace
}  // namespace zobnikari

// Every allocation by new, also those of the standard library, passes the
// fault hook's count as one allocation. The blocks come from malloc and go
// back to free, on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  if (zobnikari::CountAndFail(zobnikari::FaultPoint::kAllocate) != 0) throw std::bad_alloc();
  void* block = std::malloc(size > 0 ? size : 1);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace zobnikari {
namespace {

using cases::ReportCase;
using faults::Outcome;
using faults::Shape;

// Returns true when this process can capture what it writes on standard
// error. Under Node.js the WebAssembly build's standard error is the
// process's own, which the capture cannot redirect; the lines are then
// checked by the case folders, whole runs of the command.
bool CanCaptureStandardError() {
  static const bool can = [] {
    testing::internal::CaptureStderr();
    WriteStandardError({"captured\n"});
    return testing::internal::GetCapturedStderr() == "captured\n";
  }();
  return can;
}

// The files of one evaluation in a folder of their own, and the program run
// on them.
class Evaluation {
 public:
  explicit Evaluation(const ReportCase& row)
      : paths_{folder_.Write("input.txt", row.testData),
               folder_.Write("submission.txt", row.submission), folder_.Path("report.txt")},
        arguments_{"Orv19Zobnikari", "eval", paths_.testData, paths_.submission, paths_.report} {}

  const faults::Paths& paths() const { return paths_; }

  // Runs the program's entry point with the failAt-th call at point failing.
  Outcome Run(FaultPoint point, std::int64_t failAt) {
    std::remove(paths_.report.c_str());
    plan = Plan();
    plan.point = point;
    plan.failAt = failAt;
    testing::internal::CaptureStderr();
    plan.armed = true;
    const int status = EntryPoint(arguments_);
    plan.armed = false;
    const std::string err = testing::internal::GetCapturedStderr();
    return {status, folder_.Read("report.txt"), err, CanCaptureStandardError()};
  }

 private:
  TempFolder folder_;
  faults::Paths paths_;
  std::vector<std::string> arguments_;
};

TEST(Faults, EveryFailingCallOfTheProgramGivesAnAllowedOutcome) {
  if (!CanCaptureStandardError())
    std::cout << "standard error cannot be captured here: its lines are not checked" << std::endl;
  SetFaultHook(CountAndFail);
  // Outcomes by kind of fault, for the record.
  std::map<std::string, std::map<std::string, int>> tally;
  for (const ReportCase& row : faults::Rows()) {
    Evaluation evaluation(row);
    const std::string report = faults::AsWritten(row.report);
    for (const FaultPoint point : kPoints) {
      std::int64_t failAt = 1;
      for (;; ++failAt) {
        const Outcome outcome = evaluation.Run(point, failAt);
        if (!plan.failed) {
          // Past the last call: the evaluation ran through untouched.
          EXPECT_EQ(outcome.status, 0) << row.name;
          EXPECT_EQ(outcome.report, report) << row.name;
          if (outcome.errSeen) {
            EXPECT_EQ(outcome.err, "") << row.name;
          }
          break;
        }
        std::string why;
        const Shape shape =
            faults::ShapeOf(outcome, report, point, failAt, evaluation.paths(), false, why);
        ++tally[NameOf(point)][faults::NameOf(shape)];
        EXPECT_NE(shape, Shape::kOther)
            << row.name << ", " << NameOf(point) << " " << failAt << " fails: " << why;
        ASSERT_LT(failAt, 100000) << "the calls never end";
      }
      // Each kind of call is made, so each was failed at least once.
      EXPECT_GT(failAt, 1) << row.name << " makes no " << NameOf(point);
    }
  }
  SetFaultHook(nullptr);
  for (const auto& [point, shapes] : tally) {
    std::cout << point << " faults:";
    for (const auto& [shape, count] : shapes) std::cout << " " << shape << " " << count << ";";
    std::cout << std::endl;
  }
}

TEST(Faults, AnAllocationFailingInMemoryGivesTheReportOrTheUnexpectedFailure) {
  // The in-memory evaluation writes no file: memory is all it can lack.
  SetFaultHook(CountAndFail);
  std::map<std::string, int> tally;
  for (const ReportCase& row : faults::Rows()) {
    for (std::int64_t failAt = 1;; ++failAt) {
      plan = Plan();
      plan.point = FaultPoint::kAllocate;
      plan.failAt = failAt;
      plan.armed = true;
      std::string report;
      bool thrown = false;
      try {
        report = EvaluateInMemory(row.testData, row.submission);
      } catch (const std::bad_alloc&) {
        thrown = true;
      }
      plan.armed = false;
      if (!plan.failed) {
        EXPECT_EQ(report, row.report) << row.name;
        break;
      }
      if (thrown) {
        ++tally["std::bad_alloc before the evaluation"];
        EXPECT_EQ(failAt, 1) << row.name << ": only the first allocation may throw";
      } else if (report == faults::kUnexpected) {
        ++tally[faults::NameOf(Shape::kUnexpected)];
      } else {
        ++tally[faults::NameOf(Shape::kUntouched)];
        EXPECT_EQ(report, row.report) << row.name << ", allocation " << failAt << " fails";
      }
      ASSERT_LT(failAt, 100000) << "the allocations never end";
    }
  }
  SetFaultHook(nullptr);
  std::cout << "in-memory allocation faults:";
  for (const auto& [shape, count] : tally) std::cout << " " << shape << " " << count << ";";
  std::cout << std::endl;
}

}  // namespace
}  // namespace zobnikari
