#include "driver/evaluation.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

#include "common/assertion.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "common/platform.h"
#include "driver/failure_lines.h"
#include "driver/submission_lines.h"
#include "scoring/case_scorer.h"
#include "testdata/test_data.h"

namespace zobnikari {

namespace {

constexpr std::string_view kUsage =
    "Uporaba: Orv19Zobnikari eval input.txt submission.txt report.txt\n";

void WriteUsage() { std::fwrite(kUsage.data(), 1, kUsage.size(), stdout); }

// Throws the failure of check, made by the submission's line lineNumber,
// line; number is the test-case number it gave.
[[noreturn]] void FailLine(Check check, std::string_view line, std::int64_t lineNumber,
                           std::int32_t number = 0) {
  ThrowAssertion(SubmissionLineMessage(check, line, lineNumber, number), kSourcePath, check);
}

// Checks the submission from input against testCases and returns one entry
// per answer block, in submission order. Throws EAssertion at the first defect
// of the submission (checks 202 to 217, or any failure of an answer block).
std::vector<ScoreEntry> ScoreSubmission(LineReader& input, const std::vector<TestCase>& testCases) {
  std::string_view line;

  if (!input.NextLine(line)) FailLine(Check::kContestantNumberMissing, line, 1);
  if (const std::optional<Check> failed = CheckContestantNumber(line)) FailLine(*failed, line, 1);
  if (!input.NextLine(line)) FailLine(Check::kSubmissionTaskNameMissing, line, 2);
  if (const std::optional<Check> failed = CheckTaskName(line)) FailLine(*failed, line, 2);

  std::vector<ScoreEntry> entries;
  // One scorer for every block: each call starts afresh, and the teams'
  // storage of one block serves the next.
  CaseScorer scorer;
  std::int64_t lineNumber = 3;  // the number of the line read next
  while (input.NextLine(line)) {
    if (line.empty()) {
      ++lineNumber;
      continue;
    }
    std::int32_t number = 0;
    if (const std::optional<Check> failed = CheckCaseNumber(line, testCases.size(), number))
      FailLine(*failed, line, lineNumber, number);
    const TestCase& answered = testCases[static_cast<std::size_t>(number) - 1];
    ++lineNumber;
    scorer.ReadAndScore(input, number, answered);
    lineNumber += answered.d;
    entries.push_back(ScoreEntry{number, scorer.total});
  }
  return entries;
}

// Evaluates: loadTestData(testCases) reads and checks the test data; only
// once it passed, openSubmission() returns the submission's reader (a reader,
// or a reference to one). Then writes the report, whichever its shape, and
// returns true when it is the OK report. An IoFailure passes through before
// anything is written.
template <typename LoadTestData, typename OpenSubmission>
bool Evaluate(const LoadTestData& loadTestData, const OpenSubmission& openSubmission,
              ReportWriter& report) {
  std::vector<ScoreEntry> entries;
  bool scored = false;
  try {
    std::vector<TestCase> testCases;
    loadTestData(testCases);
    auto&& input = openSubmission();
    entries = ScoreSubmission(input, testCases);
    scored = true;
  } catch (const EAssertion& failure) {
    WriteFailureReport(report, static_cast<Check>(failure.line), failure.message);
  } catch (const IoFailure&) {
    throw;  // no report at all: the run's caller says why
  } catch (...) {
    report.Write(kUnexpectedFailureReport);
  }
  // Nothing that can fail a check runs once the OK report is begun.
  if (scored) WriteOkReport(report, entries);
  return scored;
}

// Says that memory ran out before the evaluation began; returns the exit
// status for it.
int OutOfMemory() {
  WriteOutOfMemoryLine();
  return 2;
}

}  // namespace

int EntryPoint(int argc, char** argv) {
  std::vector<std::string> arguments;
  try {
    arguments = CommandLineArguments(argc, argv);
  } catch (...) {
    return OutOfMemory();
  }
  return EntryPoint(arguments);
}

int EntryPoint(const std::vector<std::string>& arguments) {
  if (arguments.size() >= 2 && arguments[1] == "eval") {
    try {
      return RunEvaluation(arguments);
    } catch (...) {
      // Only memory can fail before the report is open (on Windows, paths
      // converted for the system); once it is open, every failure has its
      // report or its line.
      return OutOfMemory();
    }
  }
  WriteUsage();
  return 0;
}

int RunEvaluation(const std::vector<std::string>& arguments) {
  if (arguments.size() < 5) {
    WriteUsage();
    return 1;
  }
  const std::string& testDataPath = arguments[2];
  const std::string& submissionPath = arguments[3];
  const std::string& reportPath = arguments[4];
  const RunPaths paths{testDataPath, submissionPath, reportPath};

  // Opening the report truncates it: never when it is one of the inputs.
  if (SameFile(reportPath, testDataPath)) {
    WriteReportIsInputLine(FileRole::kTestData, paths);
    return 2;
  }
  if (SameFile(reportPath, submissionPath)) {
    WriteReportIsInputLine(FileRole::kSubmission, paths);
    return 2;
  }
  try {
    ReportFile file(reportPath);
    ReportWriter report(file);
    // An input's failure leaves the report empty: nothing was written.
    Evaluate([&](std::vector<TestCase>& testCases) { ReadTestData(testDataPath, testCases); },
             [&] { return LineReader(submissionPath, FileRole::kSubmission); }, report);
    file.Close();
  } catch (const IoFailure& failure) {
    // A report cut short must not read as one: empty it again, if the
    // system lets us (after an input's failure it is empty already).
    ReportFile::Empty(reportPath);
    WriteFailureLine(failure, paths);
    return 2;
  }
  return 0;
}

std::string EvaluateInMemory(std::string_view testData, std::string_view submission) {
  return EvaluateInMemoryPlaced(testData, submission).report;
}

PlacedReport EvaluateInMemoryPlaced(std::string_view testData, std::string_view submission) {
  PlacedReport placed;
  placed.report.reserve(kUnexpectedFailureReport.size());
  LineReader testDataInput = LineReader::OverBytes(testData);
  LineReader submissionInput = LineReader::OverBytes(submission);
  const LineReader* reading = &testDataInput;
  ReportWriter report(placed.report);
  const bool scored =
      Evaluate([&](std::vector<TestCase>& testCases) { ReadTestData(testDataInput, testCases); },
               [&]() -> LineReader& {
                 reading = &submissionInput;
                 return submissionInput;
               },
               report);
  placed.passed = scored && !report.outOfMemory();
  if (!scored) {
    placed.file = reading == &testDataInput ? InputRead::kTestData : InputRead::kSubmission;
    placed.lineMissing = reading->ranOut();
    placed.line = reading->linesRead() + (placed.lineMissing ? 1 : 0);
  }
  return placed;
}

}  // namespace zobnikari
