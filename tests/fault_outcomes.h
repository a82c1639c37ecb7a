// What a run of the program may leave behind when one call to the system
// fails: the report that the evaluation gives without the fault; for a
// failed allocation, the report for unexpected failures; or status 2, an
// empty report (or none) and exactly one line on standard error, whose start
// names the fault. Nothing else: never another report, a crash or a hang.
#ifndef ZOBNIKARI_TESTS_FAULT_OUTCOMES_H_
#define ZOBNIKARI_TESTS_FAULT_OUTCOMES_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/platform.h"
#include "driver/evaluation.h"
#include "report_cases.h"

namespace zobnikari {
namespace faults {

// What a run left behind.
struct Outcome {
  int status;           // the exit status, or minus the signal that ended it
  std::string report;   // the report file's bytes, "<none>" when there is none
  std::string err;      // standard error
  bool errSeen = true;  // false where the run's standard error cannot be seen
};

// How a run ended, as far as the allowed outcomes tell them apart.
enum class Shape { kUntouched, kUnexpected, kNoReport, kOther };

// Returns the name of shape, for the tally of outcomes.
inline const char* NameOf(Shape shape) {
  switch (shape) {
    case Shape::kUntouched:
      return "untouched report";
    case Shape::kUnexpected:
      return "unexpected-failure report";
    case Shape::kNoReport:
      return "status 2";
    case Shape::kOther:
      return "NOT ALLOWED";
  }
  return "?";
}

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

inline const std::string kUnexpected =
    "Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n";

// Returns the row of table named name.
inline const cases::ReportCase& Row(const std::vector<cases::ReportCase>& table,
                                    const std::string& name) {
  for (const cases::ReportCase& row : table) {
    if (row.name == name) return row;
  }
  throw std::logic_error("no row " + name);
}

// Returns an evaluation of cases test cases of n cyclists and d races, each
// answered by one team of k = n / 2 in every race (m = k / 2). Its report
// is the in-memory evaluation's.
inline cases::ReportCase Generated(const std::string& name, int count, int n, int d) {
  const int k = n / 2;
  cases::ReportCase row{name, "Zobnikari\n" + std::to_string(count) + "\n", "123456\nZobnikari\n",
                        ""};
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
inline std::vector<cases::ReportCase> Rows() {
  return {Row(cases::kAnswerBlockCases, "answers_twice_and_out_of_order"),
          Row(cases::kReadingCases, "race_number_too_large"),
          Row(cases::kTestDataFileCases, "zero_count"),
          Row(cases::kTestCaseBlockCases, "finisher_twice"),
          Row(cases::kAnswerBlockCases, "m_plus_one_newcomers"),
          Row(cases::kSubmissionCases, "case_past_the_last"),
          Generated("several_read_blocks", 3, 200, 200)};
}

// The paths of one run, as the command line gave them.
struct Paths {
  std::string testData;
  std::string submission;
  std::string report;
};

// Returns the starts of the lines on standard error that may tell of the
// failAt-th call at point call failing.
inline std::vector<std::string> LinesFor(FaultPoint call, std::int64_t failAt, const Paths& paths) {
  const std::string machine = "Orv19Zobnikari: napaka racunalnika: ";
  switch (call) {
    case FaultPoint::kOpen: {
      // The report first, then the test data, and the submission only once
      // the test data has passed.
      if (failAt == 1) {
        return {machine + "datoteke s porocilom \"" + paths.report +
                "\" ni mogoce odpreti za pisanje: "};
      }
      const std::string& input = failAt == 2 ? paths.testData : paths.submission;
      return {machine + "datoteke \"" + input + "\" ni mogoce odpreti za branje: "};
    }
    case FaultPoint::kRead:
      return {machine + "branje datoteke \"" + paths.testData + "\" ni uspelo: ",
              machine + "branje datoteke \"" + paths.submission + "\" ni uspelo: "};
    case FaultPoint::kWrite:
      return {machine + "pisanje porocila \"" + paths.report + "\" ni uspelo: "};
    case FaultPoint::kAllocate:
      // Memory may run out inside the system's own calls too, while a file
      // is opened: any line of a fault of the machine.
      return {machine};
  }
  return {};
}

// Returns the shape of outcome after the failAt-th call at point call failed,
// given the report the evaluation writes without a fault (as the file holds
// it). With mayBeIgnored, the untouched report is allowed too (a failure that
// cannot matter, such as closing an input that was read to its end). Sets why
// to what is wrong when the outcome is not allowed (kOther).
inline Shape ShapeOf(const Outcome& outcome, const std::string& report, FaultPoint call,
                     std::int64_t failAt, const Paths& paths, bool mayBeIgnored, std::string& why) {
  if (outcome.status == 0 && (outcome.err.empty() || !outcome.errSeen)) {
    if (outcome.report == report && (call == FaultPoint::kAllocate || mayBeIgnored))
      return Shape::kUntouched;
    if (outcome.report == AsWritten(kUnexpected) && call == FaultPoint::kAllocate)
      return Shape::kUnexpected;
  }
  if (outcome.status == 2 && (outcome.report.empty() || outcome.report == "<none>")) {
    if (!outcome.errSeen) return Shape::kNoReport;
    if (outcome.err.empty() || outcome.err.find('\n') != outcome.err.size() - 1) {
      why = "not one line on standard error: \"" + outcome.err + "\"";
      return Shape::kOther;
    }
    for (const std::string& line : LinesFor(call, failAt, paths)) {
      if (outcome.err.compare(0, line.size(), line) == 0) return Shape::kNoReport;
    }
  }
  why = "status " + std::to_string(outcome.status) + ", report \"" + outcome.report.substr(0, 200) +
        "\", standard error \"" + outcome.err + "\"";
  return Shape::kOther;
}

}  // namespace faults
}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_FAULT_OUTCOMES_H_
