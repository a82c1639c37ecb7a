#include "driver/submission_lines.h"

#include "common/assertion.h"
#include "common/numbers.h"
#include "testdata/test_data.h"

namespace zobnikari {

namespace {

constexpr std::size_t kContestantNumberLength = 6;

}  // namespace

std::optional<Check> CheckContestantNumber(std::string_view line) {
  if (line.size() != kContestantNumberLength) return Check::kContestantNumberNotSixBytes;
  std::int32_t contestant = 0;  // read only to be checked
  if (ScanInts(line, &contestant, 1) != 1) return Check::kContestantNumberNotInteger;
  return std::nullopt;
}

std::optional<Check> CheckTaskName(std::string_view line) {
  if (line != TaskName) return Check::kSubmissionTaskNameWrong;
  return std::nullopt;
}

std::optional<Check> CheckCaseNumber(std::string_view line, std::size_t caseCount,
                                     std::int32_t& number) {
  if (ScanInts(line, &number, 1) != 1) return Check::kCaseNumberLineNotInteger;
  // The test data numbers its records 1, 2, 3 and so on, so record
  // number - 1 is the first, and only, one with that id.
  if (number < 1 || static_cast<std::size_t>(number) > caseCount) return Check::kCaseNumberUnknown;
  return std::nullopt;
}

std::string SubmissionLineMessage(Check check, std::string_view line, std::int64_t lineNumber,
                                  std::int32_t number) {
  switch (check) {
    case Check::kContestantNumberMissing:
      return "manjka stevilka tekmovalca";
    case Check::kContestantNumberNotSixBytes:
      return "stevilka tekmovalca bi morala imeti 6 stevk";
    case Check::kContestantNumberNotInteger:
      return JoinPieces(
          {"v prvi vrstici bi morala biti stevilka tekmovalca, ne pa \"", line, "\""});
    case Check::kSubmissionTaskNameMissing:
      return "manjka druga vrstica";
    case Check::kSubmissionTaskNameWrong:
      return JoinPieces(
          {"v drugi vrstici bi moral biti niz \"", TaskName, "\", ne pa \"", line, "\""});
    case Check::kCaseNumberLineNotInteger:
      return JoinPieces(
          {AtLine(lineNumber), "bi morala biti stevilka testnega primera, ne pa \"", line, "\""});
    default:
      return AtLine(lineNumber) +
             "se pojavlja neveljavna stevilka testnega primera: " + IntToString(number);
  }
}

}  // namespace zobnikari
