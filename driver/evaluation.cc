#include "driver/evaluation.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "common/assertion.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "common/platform.h"
#include "scoring/case_scorer.h"
#include "testdata/test_data.h"

namespace zobnikari {

namespace {

// One answered test case as the OK report lists it.
struct ScoreEntry {
  std::int32_t id;     // the test-case number as written in the submission
  std::int32_t score;  // the total of its answer block
};

constexpr std::string_view kUsage =
    "Uporaba: Orv19Zobnikari eval input.txt submission.txt report.txt\n";
constexpr std::size_t kContestantNumberLength = 6;

void WriteUsage() { std::fwrite(kUsage.data(), 1, kUsage.size(), stdout); }

// Writes one line on standard error: the program's name, then the pieces.
void Complain(std::initializer_list<std::string_view> pieces) {
  std::string text = "Orv19Zobnikari: ";
  for (std::string_view piece : pieces) text += piece;
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// Where the report goes: a file, or text in memory. Writes to a file
// allocate nothing, so that a report can be written even when memory has run
// out; the first failed write is remembered.
class Report {
 public:
  explicit Report(std::FILE* file) : file_(file) {}
  explicit Report(std::string& text) : text_(&text) {}
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;
  ~Report() {
    if (file_ != nullptr) std::fclose(file_);
  }

  void Write(std::string_view text) {
    if (!ok_ || text.empty()) return;
    if (text_ != nullptr) {
      text_->append(text);
    } else if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
      Fail();
    }
  }
  void Write(std::int64_t value) {
    char text[kMaxIntText];
    Write(std::string_view(text, FormatInt(value, text)));
  }

  // Closes the file. Returns true when every byte reached it; else errorText
  // says why. REQUIRES: a report to a file.
  bool Close() {
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0 && ok_) Fail();
    return ok_;
  }

  const std::string& errorText() const { return errorText_; }

 private:
  void Fail() {
    ok_ = false;
    errorText_ = LastErrorText();
  }

  std::FILE* file_ = nullptr;
  std::string* text_ = nullptr;
  bool ok_ = true;
  std::string errorText_;
};

// Checks the submission from input against testCases and returns one entry
// per answer block, in submission order. Throws EAssertion at the first defect
// of the submission (checks 202 to 217, or any failure of an answer block).
std::vector<ScoreEntry> ScoreSubmission(LineReader& input, const std::vector<TestCase>& testCases) {
  std::string_view line;

  if (!input.NextLine(line))
    ThrowAssertion("manjka stevilka tekmovalca", kSourcePath, Check::kContestantNumberMissing);
  if (line.size() != kContestantNumberLength) {
    ThrowAssertion("stevilka tekmovalca bi morala imeti 6 stevk", kSourcePath,
                   Check::kContestantNumberNotSixBytes);
  }
  std::int32_t contestant = 0;  // read only to be checked
  if (ScanInts(line, &contestant, 1) != 1) {
    ThrowAssertion(
        JoinPieces({"v prvi vrstici bi morala biti stevilka tekmovalca, ne pa \"", line, "\""}),
        kSourcePath, Check::kContestantNumberNotInteger);
  }
  if (!input.NextLine(line))
    ThrowAssertion("manjka druga vrstica", kSourcePath, Check::kSubmissionTaskNameMissing);
  if (line != TaskName) {
    ThrowAssertion(
        JoinPieces({"v drugi vrstici bi moral biti niz \"", TaskName, "\", ne pa \"", line, "\""}),
        kSourcePath, Check::kSubmissionTaskNameWrong);
  }

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
    if (ScanInts(line, &number, 1) != 1) {
      ThrowAssertion(JoinPieces({AtLine(lineNumber),
                                 "bi morala biti stevilka testnega primera, ne pa \"", line, "\""}),
                     kSourcePath, Check::kCaseNumberLineNotInteger);
    }
    // The test data numbers its records 1, 2, 3 and so on, so record
    // number - 1 is the first, and only, one with that id.
    if (number < 1 || static_cast<std::size_t>(number) > testCases.size()) {
      ThrowAssertion(AtLine(lineNumber) +
                         "se pojavlja neveljavna stevilka testnega primera: " + IntToString(number),
                     kSourcePath, Check::kCaseNumberUnknown);
    }
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
// or a reference to one). Then writes the report, whichever its shape.
// Returns true when it is the OK report.
template <typename LoadTestData, typename OpenSubmission>
bool Evaluate(const LoadTestData& loadTestData, const OpenSubmission& openSubmission,
              Report& report) {
  std::vector<ScoreEntry> entries;
  bool scored = false;
  try {
    std::vector<TestCase> testCases;
    loadTestData(testCases);
    auto&& input = openSubmission();
    entries = ScoreSubmission(input, testCases);
    scored = true;
  } catch (const EAssertion& failure) {
    report.Write("Napaka [");
    // The label is fixed text, the main source file's name: the same text
    // as every failure's path, but never taken from the failure.
    report.Write(kSourcePath);
    report.Write(":");
    report.Write(failure.line);
    report.Write("]: ");
    report.Write(failure.message);
    report.Write("\n-1\n");
  } catch (...) {
    report.Write("Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n");
  }
  // Nothing that can fail a check runs once the OK report is begun.
  if (scored) {
    report.Write("OK\n");
    report.Write(static_cast<std::int64_t>(entries.size()));
    report.Write("\n");
    for (const ScoreEntry& entry : entries) {
      report.Write(entry.id);
      report.Write(" ");
      report.Write(entry.score);
      report.Write("\n");
    }
  }
  return scored;
}

}  // namespace

int EntryPoint(const std::vector<std::string>& arguments) {
  if (arguments.size() >= 2 && arguments[1] == "eval") return RunEvaluation(arguments);
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

  // Opening the report truncates it: never when it is one of the inputs.
  if (SameFile(reportPath, testDataPath)) {
    Complain({"datoteka s porocilom \"", reportPath,
              "\" je datoteka s testnimi podatki; porocilo ni zapisano"});
    return 2;
  }
  if (SameFile(reportPath, submissionPath)) {
    Complain(
        {"datoteka s porocilom \"", reportPath, "\" je oddana datoteka; porocilo ni zapisano"});
    return 2;
  }
  std::FILE* file = OpenReportFile(reportPath);
  if (file == nullptr) {
    const std::string reason = LastErrorText();
    Complain({"datoteke s porocilom \"", reportPath, "\" ni mogoce odpreti za pisanje: ", reason});
    return 2;
  }
  Report report(file);
  Evaluate([&](std::vector<TestCase>& testCases) { ReadTestData(testDataPath, testCases); },
           [&] { return LineReader(submissionPath); }, report);
  if (!report.Close()) {
    Complain({"pisanje porocila \"", reportPath, "\" ni uspelo: ", report.errorText()});
    return 2;
  }
  return 0;
}

std::string EvaluateInMemory(std::string_view testData, std::string_view submission) {
  return EvaluateInMemoryPlaced(testData, submission).report;
}

PlacedReport EvaluateInMemoryPlaced(std::string_view testData, std::string_view submission) {
  PlacedReport placed;
  LineReader testDataInput = LineReader::OverBytes(testData);
  LineReader submissionInput = LineReader::OverBytes(submission);
  const LineReader* reading = &testDataInput;
  bool scored = false;
  try {
    Report report(placed.report);
    scored =
        Evaluate([&](std::vector<TestCase>& testCases) { ReadTestData(testDataInput, testCases); },
                 [&]() -> LineReader& {
                   reading = &submissionInput;
                   return submissionInput;
                 },
                 report);
  } catch (const std::bad_alloc&) {
    // The report in memory outgrew it (a message that quotes a huge line is
    // held twice here, where a file takes it piece by piece). With the
    // failure's message released, the report of a run that ran out of memory
    // fits: the run that throws std::bad_alloc at once writes it.
    placed.report.clear();
    Report report(placed.report);
    Evaluate([](std::vector<TestCase>&) { throw std::bad_alloc(); },
             [&]() -> LineReader& { return submissionInput; }, report);
  }
  if (!scored) {
    placed.file = reading == &testDataInput ? InputRead::kTestData : InputRead::kSubmission;
    placed.lineMissing = reading->ranOut();
    placed.line = reading->linesRead() + (placed.lineMissing ? 1 : 0);
  }
  return placed;
}

}  // namespace zobnikari
