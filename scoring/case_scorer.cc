#include "scoring/case_scorer.h"

#include "common/assertion.h"

namespace zobnikari {

std::string MessageOf(const TeamOutcome& outcome, std::int32_t race, const TestCase& answered) {
  const std::string inRace = IntToString(race) + ". dirko";
  switch (outcome.check) {
    case Check::kListByteNotDigit:
    case Check::kListNumberTooLarge:
      return MessageOf(outcome.list);
    case Check::kTeamSizeNotK:
      return "ekipa za " + inRace + " bi morala imeti k = " + IntToString(answered.k) +
             " kolesarjev, ne pa " + IntToString(outcome.value);
    case Check::kTeamMemberOutOfRange:
      return "v ekipi za " + inRace + " je kolesar " + IntToString(outcome.value) +
             ", moral bi biti od 1 do n = " + IntToString(answered.n);
    case Check::kTeamMemberTwice:
      return "v ekipi za " + inRace + " se kolesar " + IntToString(outcome.value) +
             " pojavlja vec kot enkrat";
    case Check::kTooManyNewcomers:
      return "med " + IntToString(race - 1) + ". in " + inRace + " je " +
             IntToString(outcome.value) +
             " menjav, moralo bi jih biti od 1 do m = " + IntToString(answered.m);
    default:
      return "manjka vrstica z ekipo za " + inRace;
  }
}

void CaseScorer::Start(std::int32_t caseId, const TestCase& answered) {
  id = caseId;
  testCase = &answered;
  // The teams' table keeps its block: a scorer used for block after block
  // reuses its memory instead of asking the system for fresh pages.
  teams.Reset(static_cast<std::size_t>(answered.d), static_cast<std::size_t>(answered.k));
  lastRace_.assign(static_cast<std::size_t>(answered.n), -1);
  racePoints_.resize(static_cast<std::size_t>(answered.n));
  total = 0;
}

TeamOutcome CaseScorer::ScoreTeam(std::string_view line, std::int32_t j, bool checkNewcomers) {
  const TestCase& answered = *testCase;
  const std::int32_t n = answered.n;
  const std::size_t size = static_cast<std::size_t>(answered.k);
  TeamOutcome outcome;
  std::int32_t* const team = teams.Row(static_cast<std::size_t>(j));
  const std::size_t count = ParseIntList(line, team, size, outcome.list);
  if (outcome.list.found) {
    outcome.failed = true;
    outcome.check = outcome.list.check;
    return outcome;
  }
  if (count != size) {
    outcome.failed = true;
    outcome.check = Check::kTeamSizeNotK;
    outcome.value = static_cast<std::int64_t>(count);
    return outcome;
  }

  // One walk over the finishing order makes each member's points a lookup.
  std::int32_t* const pointsOf = racePoints_.data();
  const std::int32_t* const order = answered.rankings[static_cast<std::size_t>(j)].data();
  const std::int32_t* const points = answered.t.data();
  for (std::int32_t i = 0; i < n; ++i) pointsOf[order[i] - 1] = points[i];

  std::int32_t newcomers = 0;
  std::int32_t sum = 0;
  const std::size_t stop = MarkCyclists(team, size, n, lastRace_.data(), j,
                                        [&](std::uint32_t index, std::int32_t previous) {
                                          sum += pointsOf[index];
                                          newcomers += previous < j - 1;
                                        });
  if (stop < size) {
    const std::int32_t x = team[stop];
    outcome.failed = true;
    outcome.check = OutOfRange(x, n) ? Check::kTeamMemberOutOfRange : Check::kTeamMemberTwice;
    outcome.value = x;
    return outcome;
  }
  outcome.wellFormed = true;
  outcome.points = sum;
  outcome.newcomers = newcomers;
  total += sum;
  if (checkNewcomers && newcomers > answered.m) {
    outcome.failed = true;
    outcome.check = Check::kTooManyNewcomers;
    outcome.value = newcomers;
  }
  return outcome;
}

void CaseScorer::ReadAndScore(LineReader& input, std::int32_t caseId, const TestCase& answered) {
  Start(caseId, answered);
  std::string_view line;
  for (std::int32_t j = 0; j < answered.d; ++j) {
    TeamOutcome outcome;
    if (!input.NextLine(line)) {
      outcome.failed = true;
      outcome.check = Check::kTeamLineMissing;
    } else {
      outcome = ScoreTeam(line, j, j > 0);
    }
    if (outcome.failed)
      ThrowAssertion(MessageOf(outcome, j + 1, answered), kSourcePath, outcome.check);
  }
}

}  // namespace zobnikari
