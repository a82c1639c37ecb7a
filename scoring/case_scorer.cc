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

namespace {

// Throws the failure of outcome, for race number race of a block that
// answers answered.
[[noreturn]] void Fail(const TeamOutcome& outcome, std::int32_t race, const TestCase& answered) {
  ThrowAssertion(MessageOf(outcome, race, answered), kSourcePath, outcome.check);
}

// Returns the check that cyclist number x fails on a team of a block that
// answers answered: the range, or else the repeat.
Check MemberCheck(std::int32_t x, const TestCase& answered) {
  return OutOfRange(x, answered.n) ? Check::kTeamMemberOutOfRange : Check::kTeamMemberTwice;
}

// Throws the failure of cyclist number x on the team of race number race.
[[noreturn]] void FailMember(std::int32_t x, std::int32_t race, const TestCase& answered) {
  TeamOutcome outcome;
  outcome.failed = true;
  outcome.check = MemberCheck(x, answered);
  outcome.value = x;
  Fail(outcome, race, answered);
}

// Returns outcome as failing check with value, for race number race of a
// block that answers answered; throws it instead when kThrows.
template <bool kThrows>
TeamOutcome Failed(TeamOutcome outcome, Check check, std::int64_t value, std::int32_t race,
                   const TestCase& answered) {
  outcome.failed = true;
  outcome.check = check;
  outcome.value = value;
  if constexpr (kThrows) Fail(outcome, race, answered);
  return outcome;
}

}  // namespace

template <bool kThrows>
TeamOutcome CaseScorer::Score(std::string_view line, std::int32_t j, bool checkNewcomers) {
  const TestCase& answered = *testCase;
  const std::int32_t n = answered.n;
  const std::size_t size = static_cast<std::size_t>(answered.k);
  TeamOutcome outcome;
  std::int32_t* const team = teams.Row(static_cast<std::size_t>(j));
  const std::size_t count = ParseIntList(line, team, size, outcome.list);
  if (outcome.list.found) return Failed<kThrows>(outcome, outcome.list.check, 0, j + 1, answered);
  if (count != size) {
    return Failed<kThrows>(outcome, Check::kTeamSizeNotK, static_cast<std::int64_t>(count), j + 1,
                           answered);
  }

  // One walk over the finishing order makes each member's points a lookup.
  std::int32_t* const pointsOf = racePoints_.data();
  const std::int32_t* const order = answered.rankings[static_cast<std::size_t>(j)].data();
  const std::int32_t* const points = answered.t.data();
  for (std::int32_t i = 0; i < n; ++i) pointsOf[order[i] - 1] = points[i];

  std::int32_t newcomers = 0;
  std::int32_t sum = 0;
  const std::size_t stop = MarkCyclists(
      team, size, n, lastRace_.data(), j,
      [&](std::int32_t x) {
        // Thrown here, the failure leaves the loop one exit.
        if constexpr (kThrows) FailMember(x, j + 1, answered);
      },
      [&](std::uint32_t index, std::int32_t previous) {
        sum += pointsOf[index];
        newcomers += previous < j - 1;
      });
  if (stop < size) {
    return Failed<false>(outcome, MemberCheck(team[stop], answered), team[stop], j + 1, answered);
  }
  outcome.wellFormed = true;
  outcome.points = sum;
  outcome.newcomers = newcomers;
  total += sum;
  if (checkNewcomers && newcomers > answered.m)
    return Failed<kThrows>(outcome, Check::kTooManyNewcomers, newcomers, j + 1, answered);
  return outcome;
}

TeamOutcome CaseScorer::ScoreTeam(std::string_view line, std::int32_t j, bool checkNewcomers) {
  return Score<false>(line, j, checkNewcomers);
}

void CaseScorer::ReadAndScore(LineReader& input, std::int32_t caseId, const TestCase& answered) {
  Start(caseId, answered);
  std::string_view line;
  for (std::int32_t j = 0; j < answered.d; ++j) {
    if (!input.NextLine(line))
      Failed<true>(TeamOutcome(), Check::kTeamLineMissing, 0, j + 1, answered);
    Score<true>(line, j, j > 0);
  }
}

}  // namespace zobnikari
