// Fuzz target: the whole evaluation, in memory. Each input is split into a
// test data and a submission (fuzz_support.h) and evaluated by
// EvaluateInMemory; the report must then have one of its shapes: OK with
// exactly as many entries as its count line says, or a failure naming one of
// the program's checks. The diagnosis of the same files must give the same
// report, its first finding the report's failure at the evaluation's place,
// its findings in file order, and its accepted blocks the OK report's entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "common/checks.h"
#include "driver/diagnosis.h"
#include "driver/evaluation.h"
#include "fuzz/fuzz_support.h"
#include "tests/report_cases.h"

namespace {

using zobnikari::fuzz::Require;

// Takes a "%d" number from the front of rest (digits, no leading zero, at
// most 2147483647, with a minus sign when allowed). Returns false, rest
// untouched, when none stands there.
bool TakeNumber(std::string_view& rest, bool allowMinus, std::int64_t& value) {
  std::size_t i = allowMinus && !rest.empty() && rest[0] == '-' ? 1 : 0;
  const std::size_t first = i;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i - first <= 10) ++i;
  const std::size_t digits = i - first;
  if (digits == 0 || digits > 10 || (digits > 1 && rest[first] == '0')) return false;
  if (first == 1 && rest[1] == '0') return false;  // "-0"
  value = std::stoll(std::string(rest.substr(first, digits)));
  if (value > (first == 1 ? 2147483648LL : 2147483647LL)) return false;
  if (first == 1) value = -value;
  rest.remove_prefix(i);
  return true;
}

// Takes text from the front of rest; returns false when rest does not begin with it.
bool Take(std::string_view& rest, std::string_view text) {
  if (rest.substr(0, text.size()) != text) return false;
  rest.remove_prefix(text.size());
  return true;
}

// Checks an OK report: the count, then that many "<id> <score>" lines, each
// id a test-case number (at least 1) and each score one a block can reach
// (0 to 1000 races of 999 members worth 1000 points), and nothing after them.
void CheckOkReport(std::string_view rest) {
  std::int64_t count = 0;
  Require(TakeNumber(rest, false, count) && Take(rest, "\n"), "an OK report gives its count");
  for (std::int64_t i = 0; i < count; ++i) {
    std::int64_t id = 0;
    std::int64_t score = 0;
    Require(TakeNumber(rest, false, id) && id >= 1 && Take(rest, " "),
            "an OK entry begins with a test-case number and a blank");
    Require(TakeNumber(rest, false, score) && score <= 999000000 && Take(rest, "\n"),
            "an OK entry ends with a reachable score");
  }
  Require(rest.empty(), "an OK report holds exactly as many entries as its count line says");
}

// Checks a failure report: the number of one of the program's checks, a
// message of one line, and -1.
void CheckFailureReport(std::string_view rest) {
  std::int64_t check = 0;
  Require(TakeNumber(rest, false, check) && Take(rest, "]: "), "a failure names its check");
  Require(std::find_if(std::begin(zobnikari::kAllChecks), std::end(zobnikari::kAllChecks),
                       [check](zobnikari::Check known) {
                         return zobnikari::NumberOf(known) == check;
                       }) != std::end(zobnikari::kAllChecks),
          "a failure names one of the program's checks");
  Require(rest.size() > 4 && rest.substr(rest.size() - 4) == "\n-1\n",
          "a failure report ends with the line -1");
  Require(rest.find('\n') == rest.size() - 4, "a failure message is one non-empty line");
}

// Checks the diagnosis of the files against their placed report.
void CheckDiagnosis(const zobnikari::fuzz::EvaluationFiles& files,
                    const zobnikari::PlacedReport& placed) {
  using zobnikari::InputRead;
  const zobnikari::Diagnosis diagnosis = zobnikari::Diagnose(files.testData, files.submission);
  Require(diagnosis.placed.report == placed.report, "the diagnosis gives the evaluation's report");
  Require(diagnosis.placed.passed == placed.passed &&
              placed.passed == (placed.report.compare(0, 3, "OK\n") == 0),
          "the diagnosis passes with the evaluation, when the report is OK");
  Require(diagnosis.placed.file == placed.file && diagnosis.placed.line == placed.line &&
              diagnosis.placed.lineMissing == placed.lineMissing,
          "the diagnosis places the report where the evaluation does");
  Require(!diagnosis.incomplete, "no small input exhausts the diagnosis's memory");
  Require(diagnosis.findings.size() <= zobnikari::kMostFindings, "at most 1000 findings listed");
  // Inputs this small quote no line that fills the listed messages' room.
  Require(diagnosis.moreFindings == 0 || diagnosis.findings.size() == zobnikari::kMostFindings,
          "findings are counted only beyond the first 1000");
  if (placed.file == InputRead::kNone) {
    Require(diagnosis.findings.empty() && diagnosis.moreFindings == 0,
            "an OK report comes without findings");
    std::string entries;
    for (const zobnikari::AnswerBlock& block : diagnosis.blocks) {
      Require(block.accepted, "an OK report's blocks are accepted");
      Require(block.score <= block.ceiling, "no block scores above its ceiling");
      entries += std::to_string(block.id) + " " + std::to_string(block.score) + "\n";
    }
    Require(placed.report == "OK\n" + std::to_string(diagnosis.blocks.size()) + "\n" + entries,
            "the accepted blocks are the OK report's entries");
    return;
  }
  Require(!diagnosis.findings.empty(), "a failure report has its finding");
  const zobnikari::Finding& first = diagnosis.findings.front();
  Require("Napaka [Orv19Zobnikari.cpp:" + std::to_string(zobnikari::NumberOf(first.check)) +
                  "]: " + first.message + "\n-1\n" ==
              placed.report,
          "the first finding carries the report's check and message");
  Require(
      first.file == placed.file && first.line == placed.line && first.missing == placed.lineMissing,
      "the first finding stands where the evaluation stopped");
  if (first.file == InputRead::kTestData) {
    Require(
        diagnosis.findings.size() == 1 && diagnosis.moreFindings == 0 && diagnosis.blocks.empty(),
        "a defect of the test data is the only finding");
  }
  for (std::size_t i = 1; i < diagnosis.findings.size(); ++i) {
    const zobnikari::Finding& before = diagnosis.findings[i - 1];
    const zobnikari::Finding& after = diagnosis.findings[i];
    Require(after.file == InputRead::kSubmission && after.line > before.line,
            "findings are listed in file order, one a line at most");
    Require(!before.missing, "a missing line ends the diagnosis");
  }
  std::int64_t previousLine = 0;
  for (const zobnikari::AnswerBlock& block : diagnosis.blocks) {
    Require(block.line > previousLine, "blocks are listed in file order");
    previousLine = block.line;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zobnikari::fuzz::EvaluationFiles files = zobnikari::fuzz::SplitEvaluationInput(
      std::string_view(reinterpret_cast<const char*>(data), size));
  const zobnikari::PlacedReport placed =
      zobnikari::EvaluateInMemoryPlaced(files.testData, files.submission);
  CheckDiagnosis(files, placed);
  std::string_view report = placed.report;
  if (Take(report, "OK\n")) {
    CheckOkReport(report);
  } else if (Take(report, zobnikari::cases::kFailurePrefix)) {
    CheckFailureReport(report);
  } else {
    // Inputs this small never exhaust memory, so nothing may end in the
    // report for unexpected failures.
    Require(report != zobnikari::cases::kUnexpected,
            "no small input ends in an unexpected failure");
    Require(false, "the report has one of its three shapes");
  }
  return 0;
}
