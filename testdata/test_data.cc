#include "testdata/test_data.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "common/assertion.h"
#include "common/line_reader.h"
#include "common/numbers.h"

namespace zobnikari {

const std::string TaskName = "Zobnikari";

void ReadTestData(LineReader& input, std::vector<TestCase>& testCases) {
  std::string_view line;

  // Lines are looked at where the reader holds them and copied only once they
  // passed: a message that quotes a line is then its only copy.
  if (!input.NextLine(line))
    ThrowAssertion("manjka prva vrstica z imenom naloge", kSourcePath, Check::kTaskNameMissing);
  if (line != TaskName) {
    ThrowAssertion(
        JoinPieces({"v prvi vrstici bi moral biti niz \"", TaskName, "\", ne pa \"", line, "\""}),
        kSourcePath, Check::kTaskNameWrong);
  }
  const std::string taskLine(line);
  if (!input.NextLine(line)) {
    ThrowAssertion("manjka druga vrstica s stevilom testnih primerov", kSourcePath,
                   Check::kCaseCountMissing);
  }
  std::int32_t caseCount = 0;
  if (ScanInts(line, &caseCount, 1) != 1 || caseCount < 1) {
    ThrowAssertion(JoinPieces({"v drugi vrstici bi moralo biti stevilo testnih primerov, ne pa \"",
                               line, "\""}),
                   kSourcePath, Check::kCaseCountNotPositive);
  }

  // Records are appended as their blocks are read: a huge announced count
  // costs nothing before its blocks exist.
  testCases.clear();
  std::int64_t lineNumber = 2;
  for (std::int32_t i = 1; i <= caseCount; ++i) {
    const std::int64_t first = lineNumber;
    TestCase record;
    record.ReadTestCase(input, lineNumber, taskLine);
    if (record.id != i) {
      ThrowAssertion("v vrsticah " + IntToString(first) + ".." + IntToString(lineNumber) +
                         " bi moral biti testni primer stevilka " + IntToString(i) + ", ne pa " +
                         IntToString(record.id),
                     kSourcePath, Check::kCaseNumberOutOfOrder);
    }
    testCases.push_back(std::move(record));
  }
}

void ReadTestData(const std::string& path, std::vector<TestCase>& testCases) {
  LineReader input(path, FileRole::kTestData);
  ReadTestData(input, testCases);
}

}  // namespace zobnikari
