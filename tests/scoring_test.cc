// The scorer's own rules, each case an answer block as inline text against a
// test case given as its block of the test-data file.
#include <cstdint>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "common/assertion.h"
#include "common/line_reader.h"
#include "report_cases.h"
#include "scoring/case_scorer.h"
#include "testdata/test_case.h"

namespace zobnikari {
namespace {

// The worked example: n = 4, d = 3, k = 2, m = 1, points 10 6 3 0.
const std::string& kExample = cases::kExampleBlock;

// Returns the test case of a block of the test-data file.
TestCase Case(std::string_view block) {
  LineReader input = LineReader::OverBytes(block);
  std::int64_t lineNumber = 2;
  TestCase testCase;
  testCase.ReadTestCase(input, lineNumber, "Zobnikari");
  return testCase;
}

// Returns what scorer makes of answer against testCase: the total, or the
// failure as "line: message"; then, after "|", the first line that it left
// unread (or "#" when none is left).
std::string Score(CaseScorer& scorer, const TestCase& testCase, std::string_view answer) {
  LineReader input = LineReader::OverBytes(answer);
  std::string outcome;
  try {
    scorer.ReadAndScore(input, testCase.id, testCase);
    outcome = std::to_string(scorer.total);
  } catch (const EAssertion& failure) {
    outcome = std::to_string(failure.line) + ": " + failure.message;
  }
  std::string_view next;
  return outcome + "|" + (input.NextLine(next) ? std::string(next) : "#");
}

std::string Score(std::string_view block, std::string_view answer) {
  CaseScorer scorer;
  return Score(scorer, Case(block), answer);
}

TEST(CaseScorer, AddsThePointsOfEveryMembersPlace) {
  EXPECT_EQ(Score(kExample, "3 1\n1 2\n2 1\nnext"), "35|next");
  EXPECT_EQ(Score(kExample, "1 3\n2   1\n\t1 2 \n"), "35|#") << "order and blanks do not count";
  EXPECT_EQ(Score(kExample, "3 4\n3 4\n3 4"), "32|#") << "the same team throughout";
  EXPECT_EQ(Score(kExample, "4 2\n4 3\n4 3"), "22|#");
}

TEST(CaseScorer, CountsNewcomersAgainstThePreviousRaceOnly) {
  // n = 6, k = 3, m = 2; cyclist x earns 10 6 3 1 0 0 in every race.
  const std::string_view block =
      "\n1 6 3 3 2\n10 6 3 1 0 0\n1 2 3 4 5 6\n1 2 3 4 5 6\n1 2 3 4 5 6\n";
  EXPECT_EQ(Score(block, "1 2 3\n1 4 5\n1 2 3\n"), "49|#")
      << "exactly m newcomers, twice; 2 and 3 return as newcomers";
  EXPECT_EQ(Score(block, "1 2 3\n1 4 5\n2 3 6\n"),
            "174: med 2. in 3. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2|#")
      << "riding in race 1 does not make 2 and 3 old hands in race 3";
  EXPECT_EQ(Score(block, "1 2 3\n4 5 6\n1 2 3\n"),
            "174: med 1. in 2. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2|1 2 3");
  EXPECT_EQ(Score(kExample, "1 2\n1 3\n2 4\n"),
            "174: med 2. in 3. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1|#");
}

TEST(CaseScorer, MakesItsChecksInOrderWithinARace) {
  // Count before any member; each member's range before its repeat; members
  // in line order; a race's newcomers only once its members passed.
  EXPECT_EQ(Score(kExample, "1 1 5\n"),
            "160: ekipa za 1. dirko bi morala imeti k = 2 kolesarjev, ne pa 3|#");
  EXPECT_EQ(Score(kExample, "3 1\n\n"),
            "160: ekipa za 2. dirko bi morala imeti k = 2 kolesarjev, ne pa 0|#");
  EXPECT_EQ(Score(kExample, "5 5\n"),
            "167: v ekipi za 1. dirko je kolesar 5, moral bi biti od 1 do n = 4|#");
  EXPECT_EQ(Score(kExample, "0 1\n"),
            "167: v ekipi za 1. dirko je kolesar 0, moral bi biti od 1 do n = 4|#");
  EXPECT_EQ(Score(kExample, "2 2\n"),
            "169: v ekipi za 1. dirko se kolesar 2 pojavlja vec kot enkrat|#");
  EXPECT_EQ(Score(kExample, "3 1\n4 4\n"),
            "169: v ekipi za 2. dirko se kolesar 4 pojavlja vec kot enkrat|#")
      << "a repeat is found before the newcomers are counted";
  EXPECT_EQ(Score(kExample, "3 1\n2 4\n9 1\n"),
            "174: med 1. in 2. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1|9 1");
  EXPECT_EQ(Score(kExample, "3 1\n-1 2\n"), "55: namesto stevke se pojavlja znak s kodo 45|#");
}

TEST(CaseScorer, NamesTheFirstMissingRace) {
  EXPECT_EQ(Score(kExample, ""), "158: manjka vrstica z ekipo za 1. dirko|#");
  EXPECT_EQ(Score(kExample, "3 1\n1 2"), "158: manjka vrstica z ekipo za 3. dirko|#");
}

TEST(CaseScorer, StartsAfreshForEveryBlock) {
  // One scorer for blocks of different sizes, larger and smaller than the
  // one before, and after a failure: nothing of an earlier block remains.
  const TestCase small = Case(kExample);
  const TestCase large = Case(
      "\n2 6 4 3 2\n9 8 7 3 2 1\n1 2 3 4 5 6\n6 5 4 3 2 1\n"
      "2 1 4 3 6 5\n1 2 3 4 5 6\n");
  CaseScorer scorer;
  EXPECT_EQ(Score(scorer, small, "3 1\n1 2\n2 1\n"), "35|#");
  EXPECT_EQ(Score(scorer, large, "1 2 3\n4 5 6\n1 2 3\n1 2 3\n"),
            "174: med 1. in 2. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2|1 2 3");
  EXPECT_EQ(Score(scorer, large, "1 2 3\n1 2 4\n1 2 4\n4 5 6\n"), "64|#");
  EXPECT_EQ(scorer.id, 2);
  EXPECT_EQ(Score(scorer, small, "1 2\n1 2\n1 2\n"), "25|#");
  EXPECT_EQ(scorer.id, 1);
  EXPECT_EQ(scorer.teams.size(), 3u);
  EXPECT_EQ(scorer.teams[2][0], 1);
}

}  // namespace
}  // namespace zobnikari
