// Faults of the machine: ForEachFault runs evaluations with the Nth call at
// a point failing (alone, every call from it on, or a read or write that
// moves some bytes first), N = 1, 2, ... until a run no longer reaches it,
// and holds every outcome to the allowed set: the report as without the
// fault; for an allocation, the report for unexpected failures; or status 2,
// no report and one line on standard error that names the file.
#ifndef ZOBNIKARI_TESTS_FAULT_LOOP_H_
#define ZOBNIKARI_TESTS_FAULT_LOOP_H_

#include <cerrno>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/platform.h"
#include "driver/evaluation.h"
#include "report_cases.h"
#include "temp_file.h"

namespace zobnikari {
namespace faults {

using cases::ReportCase;

// Sets the fault hook for one scope: an assertion that fails inside it does
// not leave the hook installed.
class ScopedFaultHook {
 public:
  explicit ScopedFaultHook(FaultHook hook) { SetFaultHook(hook); }
  ScopedFaultHook(const ScopedFaultHook&) = delete;
  ScopedFaultHook& operator=(const ScopedFaultHook&) = delete;
  ~ScopedFaultHook() { SetFaultHook(nullptr); }
};

// Returns true when this process can capture what it writes on standard
// error: not under Node.js, whose standard error the capture cannot redirect.
inline bool CanCaptureStandardError() {
  static const bool can = [] {
    testing::internal::CaptureStderr();
    WriteStandardError({"captured\n"});
    return testing::internal::GetCapturedStderr() == "captured\n";
  }();
  return can;
}

// How the planned fault strikes, and the modes' names.
enum class Mode { kOnce, kPersistent, kPartial };
inline const char* NameOf(Mode mode) {
  return mode == Mode::kOnce ? "once" : mode == Mode::kPersistent ? "persistent" : "partial";
}

// The bytes that a read or write moves in the partial mode before it fails:
// part of a large read, all that a short file has left (so that the read
// also sees the end of the file), a whole piece of the report.
constexpr std::size_t kPartialBytes = 100;

// Returns the errno value that a failing call of kind gives: one that no
// reading of the inputs would take for a missing file.
inline int ErrnoFor(FaultPoint kind) {
  return kind == FaultPoint::kOpen ? EMFILE : kind == FaultPoint::kAllocate ? ENOMEM : EIO;
}

// Returns the fault that a failing call of kind gets in mode.
inline Fault FaultFor(FaultPoint kind, Mode mode) {
  return {true,
          {SystemError::Source::kErrno, ErrnoFor(kind)},
          mode == Mode::kPartial ? kPartialBytes : 0};
}

// A kind of call that a test fails, by its name in the tally.
struct Point {
  std::string name;
  FaultPoint kind;
  bool mayBeIgnored = false;  // failing it may change nothing (closing a file read to its end)
  bool everyRow = true;       // every evaluation makes such a call
};

// The paths of one run, as the command line gives them.
struct Paths {
  std::string testData;
  std::string submission;
  std::string report;
};

// One run of a row, its files in folder, with the failAt-th call at point
// failing first.
struct Trial {
  const ReportCase& row;
  const TempFolder& folder;
  const Paths& paths;
  const Point& point;
  Mode mode;
  std::int64_t failAt;
};

// What a run left behind.
struct Outcome {
  bool reached;                       // the run made the failAt-th call
  int status;                         // the exit status, or minus the signal that ended it
  std::optional<std::string> report;  // as its file holds it; none: no file
  std::optional<std::string> err;     // standard error; none where it cannot be seen
};

// The outcomes that the loop tells apart, with their names in the tally.
enum class Kind { kReportAsWithout, kUnexpectedReport, kStatus2OneLine, kThrew, kNotAllowed };
inline const char* NameOf(Kind kind) {
  static const char* const kNames[] = {
      "the report as without the fault", "the unexpected-failure report",
      "status 2, no report, one line", "std::bad_alloc before the evaluation", "NOT ALLOWED"};
  return kNames[static_cast<int>(kind)];
}

// An outcome's kind, and what is wrong when it is not allowed.
struct Verdict {
  Kind kind;
  std::string why;
};

// Returns text as a report file holds it: on Windows each LF as CR LF.
inline std::string AsWritten(const std::string& text) {
#ifdef _WIN32
  std::string file;
  for (const char c : text) file += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return file;
#else
  return text;
#endif
}

// Returns the starts of the lines on standard error that may tell of the
// failAt-th call of kind failing first.
inline std::vector<std::string> LinesFor(FaultPoint kind, std::int64_t failAt, const Paths& paths) {
  const std::string& machine = cases::kMachineLine;
  switch (kind) {
    case FaultPoint::kOpen:
      // The report first, then the test data, and the submission only once
      // the test data has passed.
      if (failAt == 1)
        return {machine + "datoteke s porocilom \"" + paths.report +
                "\" ni mogoce odpreti za pisanje: "};
      return {machine + "datoteke \"" + (failAt == 2 ? paths.testData : paths.submission) +
              "\" ni mogoce odpreti za branje: "};
    case FaultPoint::kRead:
      return {machine + "branje datoteke \"" + paths.testData + "\" ni uspelo: ",
              machine + "branje datoteke \"" + paths.submission + "\" ni uspelo: "};
    case FaultPoint::kWrite:
    case FaultPoint::kClose:
      return {machine + "pisanje porocila \"" + paths.report + "\" ni uspelo: "};
    default:
      // Memory may run out inside the system's own calls too, while a file
      // is opened: any line of a fault of the machine.
      return {machine};
  }
}

// Judges a run of the program (its exit status, report file and standard
// error) by the allowed set of its trial's point.
inline Verdict JudgeRun(const Trial& trial, const Outcome& outcome) {
  const bool memory = trial.point.kind == FaultPoint::kAllocate;
  if (outcome.status == 0 && outcome.err.value_or("").empty() && outcome.report) {
    if (*outcome.report == AsWritten(trial.row.report) && (memory || trial.point.mayBeIgnored))
      return {Kind::kReportAsWithout, ""};
    if (*outcome.report == AsWritten(cases::kUnexpected) && memory)
      return {Kind::kUnexpectedReport, ""};
  }
  const std::string err = outcome.err.value_or("");
  if (outcome.status == 2 && outcome.report.value_or("").empty()) {
    if (!outcome.err) return {Kind::kStatus2OneLine, ""};
    if (err.empty() || err.find('\n') != err.size() - 1)
      return {Kind::kNotAllowed, "not one line on standard error: \"" + err + "\""};
    for (const std::string& line : LinesFor(trial.point.kind, trial.failAt, trial.paths)) {
      if (err.compare(0, line.size(), line) == 0) return {Kind::kStatus2OneLine, ""};
    }
  }
  return {Kind::kNotAllowed, "status " + std::to_string(outcome.status) + ", report \"" +
                                 outcome.report.value_or("<none>").substr(0, 200) +
                                 "\", standard error \"" + err + "\""};
}

// Runs every row with every point failing in every mode (the partial one
// for reads and writes only): run(trial) returns the outcome of one run,
// judge(trial, outcome) its verdict. A run that no longer reaches the
// planned call must leave the report as without a fault; every point must be
// reached (by every row, where the point says so). Prints the tally of
// outcomes by point and mode under title.
template <typename Run, typename Judge>
void ForEachFault(const std::string& title, const std::vector<ReportCase>& rows,
                  const std::vector<Point>& points, const std::vector<Mode>& modes, Run run,
                  Judge judge) {
  std::map<std::string, std::map<std::string, int>> tally;
  std::map<std::string, std::int64_t> failed;
  for (const ReportCase& row : rows) {
    const TempFolder folder;
    const Paths paths{folder.Write("input.txt", row.testData),
                      folder.Write("submission.txt", row.submission), folder.Path("report.txt")};
    for (const Point& point : points) {
      for (const Mode mode : modes) {
        if (mode == Mode::kPartial && point.kind != FaultPoint::kRead &&
            point.kind != FaultPoint::kWrite)
          continue;
        std::int64_t failAt = 1;
        for (;; ++failAt) {
          const Outcome outcome = run(Trial{row, folder, paths, point, mode, failAt});
          const std::string where =
              row.name + ", " + point.name + " " + NameOf(mode) + " from " + std::to_string(failAt);
          if (!outcome.reached) {
            EXPECT_EQ(outcome.status, 0) << where;
            EXPECT_EQ(outcome.report, AsWritten(row.report)) << where;
            EXPECT_EQ(outcome.err.value_or(""), "") << where;
            break;
          }
          const Verdict verdict = judge(Trial{row, folder, paths, point, mode, failAt}, outcome);
          ++tally[point.name + ", " + NameOf(mode)][NameOf(verdict.kind)];
          EXPECT_NE(verdict.kind, Kind::kNotAllowed) << where << ": " << verdict.why;
          ASSERT_LT(failAt, 100000) << where << ": the calls never end";
        }
        failed[point.name] += failAt - 1;
        EXPECT_TRUE(failAt > 1 || !point.everyRow) << row.name << " makes no " << point.name;
      }
    }
  }
  std::cout << title << std::endl;
  for (const auto& [point, kinds] : tally) {
    std::cout << "  " << point << ":";
    for (const auto& [kind, count] : kinds) std::cout << " " << kind << " " << count << ";";
    std::cout << std::endl;
  }
  for (const Point& point : points)
    EXPECT_GT(failed[point.name], 0) << point.name << " is never made";
}

// Returns the row of table named name.
inline const ReportCase& Row(const std::vector<ReportCase>& table, const std::string& name) {
  for (const ReportCase& row : table) {
    if (row.name == name) return row;
  }
  throw std::logic_error("no row " + name);
}

// Returns an evaluation of count test cases of n cyclists and d races, each
// answered by one team of k = n / 2 in every race (m = k / 2). Its report
// is the in-memory evaluation's.
inline ReportCase Generated(const std::string& name, int count, int n, int d) {
  const int k = n / 2;
  ReportCase row{name, "Zobnikari\n" + std::to_string(count) + "\n", "123456\nZobnikari\n", ""};
  for (int id = 1; id <= count; ++id) {
    row.testData += "\n" + std::to_string(id) + " " + std::to_string(n) + " " + std::to_string(d) +
                    " " + std::to_string(k) + " " + std::to_string(k / 2) + "\n";
    for (int place = 1; place <= n; ++place)
      row.testData += std::to_string((n - place) * 1000 / n) + (place < n ? " " : "\n");
    row.submission += std::to_string(id) + "\n";
    std::string team;
    for (int member = 1; member <= k; ++member)
      team += std::to_string(2 * member) + (member < k ? " " : "\n");
    for (int race = 0; race < d; ++race) {
      for (int place = 0; place < n; ++place)
        row.testData += std::to_string((place + race + id) % n + 1) + (place < n - 1 ? " " : "\n");
      row.submission += team;
    }
  }
  row.report = EvaluateInMemory(row.testData, row.submission);
  if (row.report.compare(0, 3, "OK\n") != 0) throw std::logic_error(name + " is not accepted");
  return row;
}

// The evaluations that the fault tests run: an OK report, a failure from
// each reader, and one whose test data and submission each take several of
// the line reader's blocks.
inline std::vector<ReportCase> Rows() {
  return {Row(cases::kAnswerBlockCases, "answers_twice_and_out_of_order"),
          Row(cases::kReadingCases, "race_number_too_large"),
          Row(cases::kTestDataFileCases, "zero_count"),
          Row(cases::kTestCaseBlockCases, "finisher_twice"),
          Row(cases::kAnswerBlockCases, "m_plus_one_newcomers"),
          Row(cases::kSubmissionCases, "case_past_the_last"),
          Generated("several_read_blocks", 3, 200, 200)};
}

}  // namespace faults
}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_FAULT_LOOP_H_
