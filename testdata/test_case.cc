#include "testdata/test_case.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "common/assertion.h"
#include "common/numbers.h"

namespace zobnikari {

namespace {

constexpr std::int32_t kMaxCyclists = 1000;
constexpr std::int32_t kMaxRaces = 1000;
constexpr std::int32_t kMaxPoints = 1000;

[[noreturn]] void FailCyclistRange(std::int64_t lineNumber, std::int32_t x, std::int32_t n) {
  ThrowAssertion(AtLine(lineNumber) + "se pojavlja neveljavna stevilka kolesarja " +
                     IntToString(x) + ", morala bi biti od 1 do n = " + IntToString(n),
                 kSourcePath, Check::kFinisherOutOfRange);
}

[[noreturn]] void FailCyclistTwice(std::int64_t lineNumber, std::int32_t x) {
  ThrowAssertion(
      AtLine(lineNumber) + "se stevilka kolesarja " + IntToString(x) + " pojavlja vec kot enkrat",
      kSourcePath, Check::kFinisherTwice);
}

}  // namespace

void TestCase::ReadTestCase(LineReader& input, std::int64_t& lineNumber, std::string name) {
  taskName = std::move(name);
  std::string_view line;

  ++lineNumber;
  if (!input.NextLine(line))
    ThrowAssertion("manjka " + IntToString(lineNumber) + ". vrstica", kSourcePath,
                   Check::kSeparatorLineMissing);
  if (!line.empty()) {
    ThrowAssertion(JoinPieces({"vrstica ", IntToString(lineNumber),
                               " bi morala biti prazna, ne pa \"", line, "\""}),
                   kSourcePath, Check::kSeparatorLineNotEmpty);
  }

  ++lineNumber;
  if (!input.NextLine(line))
    ThrowAssertion("manjka " + IntToString(lineNumber) + ". vrstica", kSourcePath,
                   Check::kCaseHeaderMissing);
  std::int32_t header[5];
  const int scanned = ScanInts(line, header, 5);
  if (scanned >= 1) id = header[0];
  if (scanned >= 2) n = header[1];
  if (scanned >= 3) d = header[2];
  if (scanned >= 4) k = header[3];
  if (scanned != 5) {
    ThrowAssertion(
        JoinPieces({AtLine(lineNumber), "bi moralo biti pet celih stevil, ne pa \"", line, "\""}),
        kSourcePath, Check::kCaseHeaderNotFiveNumbers);
  }
  m = header[4];
  if (n < 1 || n > kMaxCyclists) {
    ThrowAssertion(AtLine(lineNumber) + "bi moralo biti stevilo kolesarjev n od 1 do " +
                       IntToString(kMaxCyclists) + ", ne pa " + IntToString(n),
                   kSourcePath, Check::kCyclistCountOutOfRange);
  }
  if (d < 1 || d > kMaxRaces) {
    ThrowAssertion(AtLine(lineNumber) + "bi moralo biti stevilo dirk d od 1 do " +
                       IntToString(kMaxRaces) + ", ne pa " + IntToString(d),
                   kSourcePath, Check::kRaceCountOutOfRange);
  }
  if (k < 1 || k > n) {
    ThrowAssertion(AtLine(lineNumber) + "bi morala biti velikost ekipe k od 1 do n = " +
                       IntToString(n) + ", ne pa " + IntToString(k),
                   kSourcePath, Check::kTeamSizeOutOfRange);
  }
  const std::int32_t maxNewcomers = std::min(k, n - k);
  if (m < 1 || m > maxNewcomers) {
    ThrowAssertion(AtLine(lineNumber) + "bi morala biti velikost menjave m od 1 do min(k, n-k) = " +
                       IntToString(maxNewcomers) + ", ne pa " + IntToString(m),
                   kSourcePath, Check::kNewcomerLimitOutOfRange);
  }

  t.clear();
  const std::size_t size = static_cast<std::size_t>(n);
  rankings.Reset(static_cast<std::size_t>(d), size);

  ++lineNumber;
  if (!input.NextLine(line))
    ThrowAssertion("manjka vrstica s tockami po mestih", kSourcePath, Check::kPointsLineMissing);
  const std::size_t pointCount = ParseIntList(line, t, size);
  if (pointCount != size) {
    ThrowAssertion(AtLine(lineNumber) + "bi moralo biti " + IntToString(n) +
                       " stevil s tockami, ne pa " +
                       IntToString(static_cast<std::int64_t>(pointCount)),
                   kSourcePath, Check::kPointsCountNotN);
  }
  for (std::int32_t p = 1; p <= n; ++p) {
    const std::int32_t points = t[p - 1];
    if (points > kMaxPoints) {  // ParseIntList yields no negative number
      ThrowAssertion(AtLine(lineNumber) + "je t_" + IntToString(p) + " = " + IntToString(points) +
                         ", moralo pa bi biti od 0 do " + IntToString(kMaxPoints),
                     kSourcePath, Check::kPointsOutOfRange);
    }
    if (p >= 2 && t[p - 2] < points) {
      ThrowAssertion(AtLine(lineNumber) + "je t_" + IntToString(p - 1) + " = " +
                         IntToString(t[p - 2]) + " in  t_" + IntToString(p) + " = " +
                         IntToString(points) + ", zaporedje ni nepadajoce",
                     kSourcePath, Check::kPointsRise);
    }
  }

  // seenIn[x - 1] == j marks cyclist x as met on the line of race j.
  std::vector<std::int32_t> seenIn(size, 0);
  for (std::int32_t j = 1; j <= d; ++j) {
    ++lineNumber;
    if (!input.NextLine(line))
      ThrowAssertion("manjka vrstica za " + IntToString(j) + ". dirko", kSourcePath,
                     Check::kRaceLineMissing);
    std::int32_t* const order = rankings.Row(static_cast<std::size_t>(j) - 1);
    const std::size_t count = ParseIntList(line, order, size);
    if (count != size) {
      ThrowAssertion(AtLine(lineNumber) + "bi morale biti uvrstitve n = " + IntToString(n) +
                         " kolesarjev, ne pa " + IntToString(static_cast<std::int64_t>(count)),
                     kSourcePath, Check::kRaceLineCountNotN);
    }
    MarkCyclists(
        order, size, n, seenIn.data(), j,
        [&](std::int32_t x) {
          if (OutOfRange(x, n)) FailCyclistRange(lineNumber, x, n);
          FailCyclistTwice(lineNumber, x);
        },
        [](std::uint32_t, std::int32_t) {});
  }
}

}  // namespace zobnikari
