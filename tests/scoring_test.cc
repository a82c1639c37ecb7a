// The scorer as a unit: where it leaves its input, and one scorer used for
// block after block. Its rules, answer by answer, are rows of the answer-block
// table (report_cases.h).
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

// As above, with a fresh scorer and the test case of block.
std::string Score(std::string_view block, std::string_view answer) {
  CaseScorer scorer;
  return Score(scorer, Case(block), answer);
}

TEST(CaseScorer, ReadsItsRacesAndNoLineMore) {
  // What the whole evaluation cannot show: where the scorer leaves the
  // input, after a block and after each kind of failure. A race's newcomers
  // are counted once its line is read, before the next line is.
  const struct {
    std::string_view answer;
    std::string_view outcome;
  } cases[] = {
      {"3 1\n1 2\n2 1\nnext\n", "35|next"},
      {"3 1\n4 4\n2 1\n", "169: v ekipi za 2. dirko se kolesar 4 pojavlja vec kot enkrat|2 1"},
      {"3 1\n2 4\n9 1\n",
       "174: med 1. in 2. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1|9 1"},
      {"5 5\n1 2\n", "167: v ekipi za 1. dirko je kolesar 5, moral bi biti od 1 do n = 4|1 2"},
      {"3 1\n1 2", "158: manjka vrstica z ekipo za 3. dirko|#"},
  };
  for (const auto& c : cases) EXPECT_EQ(Score(kExample, c.answer), c.outcome) << c.answer;
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
