// Checks one answer block of a submission against the test case it answers
// and adds up its score: d team lines of k distinct cyclists, at most m of
// them newcomers from one race to the next.
#ifndef ZOBNIKARI_SCORING_CASE_SCORER_H_
#define ZOBNIKARI_SCORING_CASE_SCORER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/checks.h"
#include "common/int_table.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "testdata/test_case.h"

namespace zobnikari {

// What one team line gave: the first check it failed, if any, with what that
// check's message shows, and for a well-formed team (one that passed the
// list, the count, the range and the repeat checks) its points and newcomers.
struct TeamOutcome {
  bool failed = false;
  Check check = Check::kTeamLineMissing;  // when failed: the first check failed
  std::int64_t value = 0;      // 160: the count; 167, 169: the cyclist; 174: the newcomers
  ListDefect list;             // 55, 61: the list's defect
  bool wellFormed = false;     // 174 may have failed all the same
  std::int32_t points = 0;     // well-formed: what its members earn in the race
  std::int32_t newcomers = 0;  // well-formed: its members not on the previous race's team
};

// Returns the message of outcome's failed check, for race number race of a
// block that answers answered. REQUIRES: outcome.failed.
std::string MessageOf(const TeamOutcome& outcome, std::int32_t race, const TestCase& answered);

// The scorer of one answer block. A fresh scorer has id 0, no test case, no
// teams and total 0.
class CaseScorer {
 public:
  // Reads answered.d team lines from input, which stands at the line after the
  // test-case number line, validates them in race order and leaves the score
  // in total. Records caseId as id and answered as testCase; discards earlier
  // teams. REQUIRES: answered passed every test-data check and outlives the
  // scorer. Throws EAssertion at the first defect (source lines 158 to 174, or
  // a list failure), the lines read so far consumed.
  void ReadAndScore(LineReader& input, std::int32_t caseId, const TestCase& answered);

  // Starts a block as ReadAndScore does, for ScoreTeam: records caseId and
  // answered, makes d teams, no cyclist on any, and total 0. REQUIRES: as
  // ReadAndScore.
  void Start(std::int32_t caseId, const TestCase& answered);

  // Checks line as the team of race index j (0-based) of the block begun by
  // Start, by ReadAndScore's checks in their order, and adds its points to
  // total when it is well-formed. The newcomer limit is checked only when
  // checkNewcomers (ReadAndScore: j > 0); the newcomers are counted against
  // the cyclists of the team of race index j - 1. Throws nothing but
  // std::bad_alloc. REQUIRES: j < d, and each index called at most once.
  TeamOutcome ScoreTeam(std::string_view line, std::int32_t j, bool checkNewcomers);

  std::int32_t id = 0;
  const TestCase* testCase = nullptr;  // not owned
  IntTable teams;                      // teams[r - 1]: race r's k cyclists, in line order
  std::int32_t total = 0;

 private:
  // ScoreTeam, which throws a check's failure instead of returning it when
  // kThrows (ReadAndScore's form: its loops then have one exit each, which
  // the compiler unrolls).
  template <bool kThrows>
  TeamOutcome Score(std::string_view line, std::int32_t j, bool checkNewcomers);

  // lastRace_[x - 1] is the index of the last race whose team held cyclist x,
  // -1 before any: equal to j marks a repeat on team j, below j - 1 a
  // newcomer. racePoints_[x - 1] is what cyclist x earns in the race being
  // scored. Both keep their storage from block to block.
  std::vector<std::int32_t> lastRace_;
  std::vector<std::int32_t> racePoints_;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_SCORING_CASE_SCORER_H_
