#include "scoring/case_scorer.h"

#include <string_view>

#include "common/assertion.h"
#include "common/numbers.h"

namespace zobnikari {

void CaseScorer::ReadAndScore(LineReader& input, std::int32_t caseId, const TestCase& answered) {
  id = caseId;
  testCase = &answered;
  const std::int32_t n = answered.n;
  const std::int32_t k = answered.k;
  const std::int32_t m = answered.m;
  const std::int32_t d = answered.d;
  teams.clear();
  teams.resize(static_cast<std::size_t>(d));

  // lastRace[x - 1] is the index of the last race whose team held cyclist x,
  // -1 before any: equal to j marks a repeat on team j, below j - 1 a newcomer.
  std::vector<std::int32_t> lastRace(static_cast<std::size_t>(n), -1);
  // racePoints[x - 1] is what cyclist x earns in the race being scored.
  std::vector<std::int32_t> racePoints(static_cast<std::size_t>(n));
  total = 0;

  std::string_view line;
  for (std::int32_t j = 0; j < d; ++j) {
    const std::int32_t race = j + 1;
    if (!input.NextLine(line)) {
      ThrowAssertion("manjka vrstica z ekipo za " + IntToString(race) + ". dirko", kSourcePath,
                     158);
    }
    std::vector<std::int32_t>& team = teams[j];
    const std::size_t count = ParseIntList(line, team, static_cast<std::size_t>(k));
    if (count != static_cast<std::size_t>(k)) {
      ThrowAssertion("ekipa za " + IntToString(race) +
                         ". dirko bi morala imeti k = " + IntToString(k) + " kolesarjev, ne pa " +
                         IntToString(static_cast<std::int64_t>(count)),
                     kSourcePath, 160);
    }

    const std::vector<std::int32_t>& order = answered.rankings[j];
    for (std::int32_t i = 0; i < n; ++i) racePoints[order[i] - 1] = answered.t[i];

    std::int32_t newcomers = 0;
    for (const std::int32_t x : team) {
      if (x < 1 || x > n) {
        ThrowAssertion("v ekipi za " + IntToString(race) + ". dirko je kolesar " + IntToString(x) +
                           ", moral bi biti od 1 do n = " + IntToString(n),
                       kSourcePath, 167);
      }
      std::int32_t& last = lastRace[x - 1];
      if (last == j) {
        ThrowAssertion("v ekipi za " + IntToString(race) + ". dirko se kolesar " + IntToString(x) +
                           " pojavlja vec kot enkrat",
                       kSourcePath, 169);
      }
      const std::int32_t previous = last;
      last = j;
      total += racePoints[x - 1];
      if (previous < j - 1) ++newcomers;
    }
    if (j > 0 && newcomers > m) {
      ThrowAssertion("med " + IntToString(j) + ". in " + IntToString(race) + ". dirko je " +
                         IntToString(newcomers) +
                         " menjav, moralo bi jih biti od 1 do m = " + IntToString(m),
                     kSourcePath, 174);
    }
  }
}

}  // namespace zobnikari
