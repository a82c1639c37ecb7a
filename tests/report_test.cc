// Whole evaluations in memory: every row of the tables in report_cases.h
// gives its exact report, every check has a row, and the evaluation in
// memory writes what the program writes into its report file.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/checks.h"
#include "driver/evaluation.h"
#include "report_cases.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

using cases::ReportCase;

void ExpectReports(const std::vector<ReportCase>& table) {
  for (const ReportCase& row : table) {
    EXPECT_EQ(EvaluateInMemory(row.testData, row.submission), row.report) << row.name;
  }
}

TEST(Reports, LineReadingAndLists) { ExpectReports(cases::kReadingCases); }
TEST(Reports, TestDataFile) { ExpectReports(cases::kTestDataFileCases); }
TEST(Reports, TestCaseBlock) { ExpectReports(cases::kTestCaseBlockCases); }
TEST(Reports, AnswerBlock) { ExpectReports(cases::kAnswerBlockCases); }
TEST(Reports, Submission) { ExpectReports(cases::kSubmissionCases); }

TEST(Reports, EveryCheckHasARow) {
  const std::string& prefix = cases::kFailurePrefix;
  std::set<std::int32_t> shown;
  for (const auto& table : cases::kAllTables) {
    for (const ReportCase& row : *table.second) {
      if (row.report.compare(0, prefix.size(), prefix) == 0)
        shown.insert(std::stoi(row.report.substr(prefix.size())));
    }
  }
  for (const Check check : kAllChecks) {
    EXPECT_EQ(shown.count(NumberOf(check)), 1u) << "no row fails check " << NumberOf(check);
  }
}

TEST(Checks, KeepTheNumbersThatReportsShow) {
  // The numbers are the reports' names of the checks, published to the
  // contestants: renumbering one is a change of the interface, never of
  // the code alone.
  std::vector<std::int32_t> numbers;
  for (const Check check : kAllChecks) numbers.push_back(NumberOf(check));
  EXPECT_EQ(numbers,
            (std::vector<std::int32_t>{55,  61,  79,  80,  81,  83,  84,  85,  86,  87,  89,  91,
                                       94,  95,  99,  102, 106, 107, 119, 120, 123, 126, 133, 158,
                                       160, 167, 169, 174, 202, 203, 205, 206, 207, 215, 217}));
}

TEST(EvaluateInMemory, WritesWhatTheProgramWritesIntoItsReport) {
  // The program reads files and writes the report in text mode; read back in
  // text mode, it must be the text of the evaluation in memory, row by row.
  TempFolder folder;
  for (const auto& table : cases::kAllTables) {
    for (const ReportCase& row : *table.second) {
      const int status = RunEvaluation(
          {"Orv19Zobnikari", "eval", folder.Write("input.txt", row.testData),
           folder.Write("submission.txt", row.submission), folder.Path("report.txt")});
      EXPECT_EQ(status, 0) << row.name;
      std::ifstream in(std::filesystem::u8path(folder.Path("report.txt")));
      const std::string report{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
      EXPECT_EQ(report, EvaluateInMemory(row.testData, row.submission)) << row.name;
    }
  }
}

TEST(EvaluateInMemory, ScoresTheLargestTotalWithoutOverflow) {
  // n = d = 1000, k = 999, every place worth 1000, the same team in every
  // race: 1000 races of 999 members at 1000 points each.
  std::string testData = "Zobnikari\n1\n\n1 1000 1000 999 1\n";
  std::string order;
  for (int x = 1; x <= 1000; ++x) {
    testData += x < 1000 ? "1000 " : "1000\n";
    order += std::to_string(1001 - x) + (x < 1000 ? " " : "\n");
  }
  std::string team;
  for (int x = 1; x <= 999; ++x) team += std::to_string(x) + (x < 999 ? " " : "\n");
  std::string submission = "000001\nZobnikari\n1\n";
  for (int j = 0; j < 1000; ++j) {
    testData += order;
    submission += team;
  }
  EXPECT_EQ(EvaluateInMemory(testData, submission), "OK\n1\n1 999000000\n");
}

}  // namespace
}  // namespace zobnikari
