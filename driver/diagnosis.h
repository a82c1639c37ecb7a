// The diagnosis of a submission, beside its official report: every defect
// that the checks find when they go on after the first one (the report names
// only that one), and every answer block with its score, its ceiling and its
// points race by race. Or the diagnosis of a test data alone.
#ifndef ZOBNIKARI_DRIVER_DIAGNOSIS_H_
#define ZOBNIKARI_DRIVER_DIAGNOSIS_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/checks.h"
#include "driver/report.h"

namespace zobnikari {

// How many findings a diagnosis lists at most; the ones after them are
// counted.
constexpr std::size_t kMostFindings = 1000;
// The most bytes that the messages of the listed findings after the first may
// hold together (the first is the report's own). A finding whose message
// could take them past it is counted instead, and so is every finding after
// it: the list is always the first findings of the files, in file order.
constexpr std::size_t kMostFindingText = std::size_t{1} << 20;
// How many accepted blocks are listed with their races.
constexpr std::size_t kMostBlocksWithRaces = 1000;

// A defect that one check found.
struct Finding {
  InputRead file = InputRead::kNone;  // kTestData or kSubmission
  // The line that the evaluation was reading when the check failed, counted
  // from 1: for a team check, its race's line; when missing, the line that the
  // file does not have.
  std::int64_t line = 0;
  bool missing = false;
  Check check = Check::kListByteNotDigit;
  std::string message;  // as the report gives it
};

// An answer block: a test-case number line that passed its checks, and the
// lines after it. Its score and ceiling mean something only when accepted.
struct AnswerBlock {
  std::int64_t line = 0;     // its test-case number line
  std::int32_t id = 0;       // the test-case number
  std::int32_t score = 0;    // the sum of its races' points
  std::int32_t ceiling = 0;  // d * (t_1 + ... + t_k): every race's k best places
  bool accepted = false;     // no finding in it, and not cut by the end of the file
  // Its findings, listed or counted: at most one a line, so at most d.
  std::uint16_t defects = 0;
};

// What each race of an accepted block gave: its team's points and newcomers
// (0 for race 1), race 1 first.
struct BlockRaces {
  std::vector<std::int32_t> points;
  std::vector<std::uint16_t> newcomers;
};

// A test case of the test data, by its header.
struct CaseSummary {
  std::int32_t id, n, d, k, m;
};

// The official report and, beside it, what the checks found.
struct Diagnosis {
  bool withSubmission = false;  // false: the test data alone (no report, no blocks)
  // The report, exactly as EvaluateInMemoryPlaced gives it with whether it
  // passed and its place, which is the first finding's. For the test data
  // alone: no report, passed when the test data is valid, and the place of its
  // defect. No place once incomplete: it is dropped with the lists.
  PlacedReport placed;
  std::vector<Finding> findings;   // in file order; the first is the report's failure
  std::uint64_t moreFindings = 0;  // found after the listed ones
  std::deque<AnswerBlock> blocks;  // in submission order
  // races[i]: the races of the i-th accepted block of blocks, for the first
  // kMostBlocksWithRaces accepted blocks.
  std::vector<BlockRaces> races;
  bool testDataValid = false;
  std::vector<CaseSummary> cases;  // when valid, in test-data order
  // Memory ran out: findings, blocks, races (and cases) were dropped, and the
  // report's place; the report is still the official one.
  bool incomplete = false;
};

// Diagnoses submission against testData, both held in memory: the report is
// EvaluateInMemory's, byte for byte, and the first finding is its failure,
// with EvaluateInMemoryPlaced's file, line and lineMissing, which the placed
// report holds too. Beside it the checks go on by these rules: a defect of
// the test data is the only finding; the submission's lines 1 and 2 are
// checked each on its own; a missing line, or a test-case number line that
// fails 215 or 217, ends the diagnosis; every team line gives at most one
// finding, its first defect; the newcomer limit is checked for a race when
// its team and the previous race's are well-formed. Uses at most
// EvaluateInMemory's memory, 24 bytes per block and 8 MiB more. Throws
// std::bad_alloc only when memory runs out before the evaluation begins.
Diagnosis Diagnose(std::string_view testData, std::string_view submission);

// Diagnoses a test data alone, held in memory: valid, with its test cases, or
// its one finding. No report and no blocks.
Diagnosis DiagnoseTestData(std::string_view testData);

// As Diagnose, on files, read as the program reads them (a path that names
// nothing readable reads as an empty file). The submission is opened only once
// the test data passed. Throws IoFailure when the system fails to open or read
// an input.
Diagnosis DiagnoseFiles(const std::string& testDataPath, const std::string& submissionPath);

// As DiagnoseTestData, on a file, read as DiagnoseFiles reads it.
Diagnosis DiagnoseTestDataFile(const std::string& testDataPath);

// Diagnoses as Diagnose, or as DiagnoseTestData without a submission. Where
// memory runs out in the diagnosis of a submission (incomplete, or thrown
// before it began), releases it and returns instead an incomplete diagnosis
// that holds nothing but the placed report of EvaluateInMemoryPlaced, run
// alone: the report and its place are always the evaluation's. Without a
// submission, memory that runs out before the diagnosis begins gives an empty
// incomplete diagnosis. Throws std::bad_alloc only when memory runs out
// before that evaluation begins.
Diagnosis DiagnoseOrEvaluate(std::string_view testData, std::optional<std::string_view> submission);

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_DIAGNOSIS_H_
