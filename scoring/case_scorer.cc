#include "scoring/case_scorer.h"

#include <string_view>

#include "common/assertion.h"
#include "common/numbers.h"

namespace zobnikari {

namespace {

[[noreturn]] void FailCyclistRange(std::int32_t race, std::int32_t x, std::int32_t n) {
  ThrowAssertion("v ekipi za " + IntToString(race) + ". dirko je kolesar " + IntToString(x) +
                     ", moral bi biti od 1 do n = " + IntToString(n),
                 kSourcePath, Check::kTeamMemberOutOfRange);
}

[[noreturn]] void FailCyclistTwice(std::int32_t race, std::int32_t x) {
  ThrowAssertion("v ekipi za " + IntToString(race) + ". dirko se kolesar " + IntToString(x) +
                     " pojavlja vec kot enkrat",
                 kSourcePath, Check::kTeamMemberTwice);
}

}  // namespace

void CaseScorer::ReadAndScore(LineReader& input, std::int32_t caseId, const TestCase& answered) {
  id = caseId;
  testCase = &answered;
  const std::int32_t n = answered.n;
  const std::int32_t k = answered.k;
  const std::int32_t m = answered.m;
  const std::int32_t d = answered.d;
  // The teams' table keeps its block: a scorer used for block after block
  // reuses its memory instead of asking the system for fresh pages.
  const std::size_t size = static_cast<std::size_t>(k);
  teams.Reset(static_cast<std::size_t>(d), size);

  // lastRace[x - 1] is the index of the last race whose team held cyclist x,
  // -1 before any: equal to j marks a repeat on team j, below j - 1 a newcomer.
  std::vector<std::int32_t> lastRace(static_cast<std::size_t>(n), -1);
  // racePoints[x - 1] is what cyclist x earns in the race being scored.
  std::vector<std::int32_t> racePoints(static_cast<std::size_t>(n));
  std::int32_t* const last = lastRace.data();
  std::int32_t* const pointsOf = racePoints.data();
  total = 0;

  std::string_view line;
  for (std::int32_t j = 0; j < d; ++j) {
    const std::int32_t race = j + 1;
    if (!input.NextLine(line)) {
      ThrowAssertion("manjka vrstica z ekipo za " + IntToString(race) + ". dirko", kSourcePath,
                     Check::kTeamLineMissing);
    }
    std::int32_t* const team = teams.Row(static_cast<std::size_t>(j));
    const std::size_t count = ParseIntList(line, team, size);
    if (count != size) {
      ThrowAssertion("ekipa za " + IntToString(race) +
                         ". dirko bi morala imeti k = " + IntToString(k) + " kolesarjev, ne pa " +
                         IntToString(static_cast<std::int64_t>(count)),
                     kSourcePath, Check::kTeamSizeNotK);
    }

    // One walk over the finishing order makes each member's points a lookup.
    const std::int32_t* const order = answered.rankings[static_cast<std::size_t>(j)].data();
    const std::int32_t* const points = answered.t.data();
    for (std::int32_t i = 0; i < n; ++i) pointsOf[order[i] - 1] = points[i];

    std::int32_t newcomers = 0;
    std::int32_t sum = total;
    MarkCyclists(
        team, size, n, last, j, [&](std::int32_t x) { FailCyclistRange(race, x, n); },
        [&](std::int32_t x) { FailCyclistTwice(race, x); },
        [&](std::uint32_t index, std::int32_t previous) {
          sum += pointsOf[index];
          newcomers += previous < j - 1;
        });
    total = sum;
    if (j > 0 && newcomers > m) {
      ThrowAssertion("med " + IntToString(j) + ". in " + IntToString(race) + ". dirko je " +
                         IntToString(newcomers) +
                         " menjav, moralo bi jih biti od 1 do m = " + IntToString(m),
                     kSourcePath, Check::kTooManyNewcomers);
    }
  }
}

}  // namespace zobnikari
