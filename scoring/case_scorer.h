// Checks one answer block of a submission against the test case it answers
// and adds up its score: d team lines of k distinct cyclists, at most m of
// them newcomers from one race to the next.
#ifndef ZOBNIKARI_SCORING_CASE_SCORER_H_
#define ZOBNIKARI_SCORING_CASE_SCORER_H_

#include <cstdint>

#include "common/int_table.h"
#include "common/line_reader.h"
#include "testdata/test_case.h"

namespace zobnikari {

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

  std::int32_t id = 0;
  const TestCase* testCase = nullptr;  // not owned
  IntTable teams;                      // teams[r - 1]: race r's k cyclists, in line order
  std::int32_t total = 0;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_SCORING_CASE_SCORER_H_
