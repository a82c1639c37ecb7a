// Valgrind's memcheck on whole runs of the real program over a mid-size
// evaluation: one that is accepted, one whose submission fails after accepted
// blocks, one whose test data fails inside its last block. Each run must give
// its exact report with no memory error and no leak of any kind.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "program_run.h"
#include "report_cases.h"

namespace zobnikari {
namespace {

namespace fs = std::filesystem;

constexpr int kCases = 8;
constexpr int kRaces = 250;

// Test case i (1 to kCases): n cyclists, team size k, at most m newcomers.
int CyclistsOf(int i) { return 150 + 10 * i; }
int TeamSizeOf(int i) { return 40 + i; }
int NewcomersOf(int i) { return 1 + i % 5; }

// Points for place p (1 to n): falling from 1000 towards 0.
int PointsOf(int p, int n) { return (n - p) * 1000 / n; }

// The cyclist at place q (0-based) of race j (0-based): each race's order is
// the previous one turned round by one place.
int CyclistAt(int q, int j, int n) { return (q + j) % n + 1; }

// Returns the test data of kCases test cases. With badRace > 0 the last block's
// finishing order of that race names cyclist n + 1 in last place.
std::string TestData(int badRace) {
  std::string text = "Zobnikari\n" + std::to_string(kCases) + "\n";
  for (int i = 1; i <= kCases; ++i) {
    const int n = CyclistsOf(i);
    text += "\n" + std::to_string(i) + " " + std::to_string(n) + " " + std::to_string(kRaces) +
            " " + std::to_string(TeamSizeOf(i)) + " " + std::to_string(NewcomersOf(i)) + "\n";
    for (int p = 1; p <= n; ++p) text += std::to_string(PointsOf(p, n)) + (p < n ? " " : "\n");
    for (int j = 0; j < kRaces; ++j) {
      for (int q = 0; q < n; ++q) {
        const bool bad = i == kCases && j + 1 == badRace && q == n - 1;
        text += std::to_string(bad ? n + 1 : CyclistAt(q, j, n)) + (q < n - 1 ? " " : "\n");
      }
    }
  }
  return text;
}

// Returns the submission that answers every test case, the last first, each
// race's team being its top k in reverse order (so one newcomer per race), and
// the report that it earns: every race scores t_1 + ... + t_k. With badRace > 0
// the last block's team of that race names its first member once more in
// place of its last, and the report is that failure.
void Submission(int badRace, std::string& submission, std::string& report) {
  submission = "000042\nZobnikari\n\n";
  report = "OK\n" + std::to_string(kCases) + "\n";
  for (int i = kCases; i >= 1; --i) {
    const int n = CyclistsOf(i);
    const int k = TeamSizeOf(i);
    submission += std::to_string(i) + "\n";
    for (int j = 0; j < kRaces; ++j) {
      const bool bad = i == 1 && j + 1 == badRace;
      for (int q = k - 1; q >= 0; --q) {
        const int x = bad && q == 0 ? CyclistAt(k - 1, j, n) : CyclistAt(q, j, n);
        submission += std::to_string(x) + (q > 0 ? " " : "\n");
      }
      if (bad) {
        report =
            cases::Failure(Check::kTeamMemberTwice,
                           "v ekipi za " + std::to_string(badRace) + ". dirko se kolesar " +
                               std::to_string(CyclistAt(k - 1, j, n)) + " pojavlja vec kot enkrat");
        return;
      }
    }
    int perRace = 0;
    for (int p = 1; p <= k; ++p) perRace += PointsOf(p, n);
    report += std::to_string(i) + " " + std::to_string(perRace * kRaces) + "\n";
    submission += "\n";
  }
}

// One run under memcheck, named; a race number above 0 spoils that race.
struct MemcheckCase {
  std::string name;
  int badTestDataRace;    // 0: the test data is valid
  int badSubmissionRace;  // 0: the submission is valid
};

class Memcheck : public testing::TestWithParam<MemcheckCase> {};

TEST_P(Memcheck, FindsNoErrorAndNoLeak) {
  const MemcheckCase& c = GetParam();
  const fs::path folder = FreshFolder("memcheck", c.name);
  std::string submission;
  std::string report;
  Submission(c.badSubmissionRace, submission, report);
  if (c.badTestDataRace > 0) {
    const int n = CyclistsOf(kCases);
    report = cases::Failure(
        Check::kFinisherOutOfRange,
        "v " + std::to_string(2 + (kCases - 1) * (kRaces + 3) + 3 + c.badTestDataRace) +
            ". vrstici se pojavlja neveljavna stevilka kolesarja " + std::to_string(n + 1) +
            ", morala bi biti od 1 do n = " + std::to_string(n));
  }
  std::ofstream(folder / "input.txt", std::ios::binary) << TestData(c.badTestDataRace);
  std::ofstream(folder / "submission.txt", std::ios::binary) << submission;

  const std::string log = (folder / "memcheck.log").string();
  const ProgramRun run =
      RunProgram({ZOBNIKARI_VALGRIND, "--tool=memcheck", "--error-exitcode=99", "--leak-check=full",
                  "--show-leak-kinds=all", "--errors-for-leak-kinds=all", "--log-file=" + log,
                  ZOBNIKARI_PROGRAM, "eval", (folder / "input.txt").string(),
                  (folder / "submission.txt").string(), (folder / "report.txt").string()},
                 folder);
  ASSERT_TRUE(run.measured) << "cannot run " << ZOBNIKARI_VALGRIND;
  const std::string findings = ReadWholeFile(log);
  EXPECT_EQ(run.status, 0) << "memcheck's log:\n" << findings;
  EXPECT_EQ(ReadWholeFile(folder / "report.txt"), report);
  EXPECT_NE(findings.find("ERROR SUMMARY: 0 errors"), std::string::npos) << findings;
  std::cout << c.name << ": " << run.seconds << " s under memcheck" << std::endl;
  std::error_code ignored;
  if (!HasFailure()) fs::remove_all(folder, ignored);
}

INSTANTIATE_TEST_SUITE_P(Runs, Memcheck,
                         testing::Values(MemcheckCase{"accepted", 0, 0},
                                         MemcheckCase{"submission_fails_in_last_block", 0, 180},
                                         MemcheckCase{"test_data_fails_in_last_block", 200, 0}),
                         [](const testing::TestParamInfo<MemcheckCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace zobnikari
