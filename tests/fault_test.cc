// Faults of the machine in the program's own process (fault_loop.h): every
// open, read, write, close and allocation failing in turn, through the
// platform layer's seam and a replacement of operator new that counts every
// allocation, the standard library's too. On Windows this runs the Windows
// code (CreateFileW, ReadFile). In the partial mode the first read of every
// short input moves the whole file, so that it has seen the end of the file,
// and then fails: status 2, never the end of the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/platform.h"
#include "driver/evaluation.h"
#include "fault_loop.h"

namespace zobnikari {
namespace {

using faults::Kind;
using faults::Mode;
using faults::Outcome;
using faults::Trial;

// Which calls fail during one run, and how many calls of each kind it made.
// Counting only while armed: the test's own calls never count.
struct Plan {
  bool armed = false;
  FaultPoint point = FaultPoint::kOpen;
  Mode mode = Mode::kOnce;
  std::int64_t failAt = 0;  // the first failing call, counted from 1
  std::int64_t counts[6] = {};
  bool reached = false;  // the failAt-th call was made
};
Plan plan;

// The fault hook: counts the call and fails those that the plan says.
Fault CountAndFail(FaultPoint point) {
  if (!plan.armed) return {};
  const std::int64_t made = ++plan.counts[static_cast<int>(point)];
  if (point != plan.point || made < plan.failAt) return {};
  if (made > plan.failAt && plan.mode != Mode::kPersistent) return {};
  plan.reached = true;
  return faults::FaultFor(point, plan.mode);
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
  if (zobnikari::CountAndFail(zobnikari::FaultPoint::kAllocate).fails) throw std::bad_alloc();
  void* block = std::malloc(size > 0 ? size : 1);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void operator delete(void* block) noexcept { std::free(block); }
#include "new_forms.h"  // after the two forms it builds on

namespace zobnikari {
namespace {

// Runs the program's entry point on trial's files with its fault planned.
Outcome RunEntryPoint(const Trial& trial) {
  const faults::Paths& paths = trial.paths;
  std::remove(paths.report.c_str());
  const std::vector<std::string> arguments{"Orv19Zobnikari", "eval", paths.testData,
                                           paths.submission, paths.report};
  testing::internal::CaptureStderr();
  plan = Plan{true, trial.point.kind, trial.mode, trial.failAt};
  const int status = EntryPoint(arguments);
  plan.armed = false;
  const std::string err = testing::internal::GetCapturedStderr();
  return {plan.reached, status, trial.folder.Read("report.txt"),
          faults::CanCaptureStandardError() ? std::optional<std::string>(err) : std::nullopt};
}

TEST(Faults, EveryFailingCallOfTheProgramGivesAnAllowedOutcome) {
  if (!faults::CanCaptureStandardError())
    std::cout << "standard error cannot be captured here: its lines are not checked" << std::endl;
  const faults::ScopedFaultHook hook(CountAndFail);
  faults::ForEachFault("faults in the process:", faults::Rows(),
                       {{"open", FaultPoint::kOpen},
                        {"read", FaultPoint::kRead},
                        {"write", FaultPoint::kWrite},
                        {"close", FaultPoint::kClose},
                        {"allocation", FaultPoint::kAllocate}},
                       {Mode::kOnce, Mode::kPersistent, Mode::kPartial}, RunEntryPoint,
                       faults::JudgeRun);
}

TEST(Faults, AnAllocationFailingInMemoryGivesTheReportOrTheUnexpectedFailure) {
  // The in-memory evaluation writes no file: memory is all it can lack.
  const faults::ScopedFaultHook hook(CountAndFail);
  const auto run = [](const Trial& trial) {
    plan = Plan{true, FaultPoint::kAllocate, trial.mode, trial.failAt};
    std::optional<std::string> report;
    try {
      report = EvaluateInMemory(trial.row.testData, trial.row.submission);
    } catch (const std::bad_alloc&) {
    }
    plan.armed = false;
    if (report) report = faults::AsWritten(*report);
    return Outcome{plan.reached, 0, report, ""};
  };
  const auto judge = [](const Trial& trial, const Outcome& outcome) -> faults::Verdict {
    if (!outcome.report) {
      if (trial.failAt == 1) return {Kind::kThrew, ""};
      return {Kind::kNotAllowed, "only the first allocation may throw"};
    }
    if (*outcome.report == faults::AsWritten(cases::kUnexpected))
      return {Kind::kUnexpectedReport, ""};
    if (*outcome.report == faults::AsWritten(trial.row.report)) return {Kind::kReportAsWithout, ""};
    return {Kind::kNotAllowed, "report \"" + *outcome.report + "\""};
  };
  faults::ForEachFault("allocation faults in memory:", faults::Rows(),
                       {{"allocation", FaultPoint::kAllocate}}, {Mode::kOnce, Mode::kPersistent},
                       run, judge);
}

}  // namespace
}  // namespace zobnikari
