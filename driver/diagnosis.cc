// How the diagnosis goes on.
//
// One walk over the files does both jobs. Its official part is the
// evaluation's: the test cases, the scorer, the score entries and the first
// failure, from which the report is made exactly as the evaluation makes it.
// Beside it, the bookkeeping: the findings after the first, the blocks, their
// races and the test cases' headers. The checks are the evaluation's own, in
// their forms that throw nothing (ParseIntList with a ListDefect,
// CaseScorer::ScoreTeam, the checks of submission_lines.h), so going on after
// a defect costs no exception, and a finding not listed costs no message.
//
// Memory: when it runs out in the bookkeeping, the bookkeeping is dropped and
// the walk goes on as the evaluation alone, until the report is decided; when
// it runs out in the official part, the report is the evaluation's for that
// case, the report for unexpected failures.
#include "driver/diagnosis.h"

#include <new>
#include <optional>
#include <utility>

#include "common/assertion.h"
#include "common/line_reader.h"
#include "common/platform.h"
#include "driver/evaluation.h"
#include "driver/submission_lines.h"
#include "scoring/case_scorer.h"
#include "testdata/test_data.h"

namespace zobnikari {

namespace {

// A block's record stays within the room that the diagnosis's memory bound
// allows a block (the defect count fills the padding after the flag).
static_assert(sizeof(AnswerBlock) == 24, "a block's record is 24 bytes");

// More than any message holds besides the input line it quotes.
constexpr std::size_t kMessageBesideQuote = 160;

// Returns true for the checks of the submission's own lines whose messages
// quote the line.
bool Quotes(Check check) {
  return check == Check::kContestantNumberNotInteger || check == Check::kSubmissionTaskNameWrong ||
         check == Check::kCaseNumberLineNotInteger;
}

class Walk {
 public:
  explicit Walk(Diagnosis& out) : out_(out) {}

  // Reads the test data from input. Returns true when it is valid.
  bool TestData(LineReader& input);

  // Walks the submission from input. REQUIRES: TestData returned true.
  void Submission(LineReader& input);

  // Makes the report once the walk has ended.
  void Finish();

  // Ends the walk where memory ran out outside the bookkeeping.
  void OutOfMemory();

 private:
  // Records the defect check, found where input stands in file; compose()
  // returns its message, which quotes a line of quoted bytes (0: none).
  template <typename Compose>
  void Find(InputRead file, const LineReader& input, Check check, std::size_t quoted,
            const Compose& compose);

  // Walks the answer block begun by block from input with scorer. Returns
  // false when the file ended inside it.
  bool Block(LineReader& input, CaseScorer& scorer, AnswerBlock& block);

  // Runs change, a change of the bookkeeping, unless it was dropped; drops it
  // when memory runs out.
  template <typename Change>
  void Keep(const Change& change);

  // Drops the bookkeeping for good.
  void Drop();

  // Returns true once the walk can learn nothing more: the report is decided
  // and the bookkeeping dropped.
  bool Done() const { return failed_ && !keeping_; }

  Diagnosis& out_;
  // The official part.
  std::vector<TestCase> testCases_;
  std::vector<ScoreEntry> entries_;
  bool failed_ = false;  // the first finding is made: the report is its failure
  // The bookkeeping.
  bool keeping_ = true;                       // not dropped
  bool listing_ = true;                       // every finding so far is listed
  std::size_t findingText_ = 0;               // the bytes of the listed messages after the first
  std::vector<std::int32_t> ceilings_;        // by test case
  std::vector<std::int32_t> racePoints_;      // the block being walked, by race
  std::vector<std::uint16_t> raceNewcomers_;  // the same
};

template <typename Compose>
void Walk::Find(InputRead file, const LineReader& input, Check check, std::size_t quoted,
                const Compose& compose) {
  Finding finding;
  finding.file = file;
  finding.missing = input.ranOut();
  finding.line = input.linesRead() + (finding.missing ? 1 : 0);
  finding.check = check;
  if (!failed_) {
    // The evaluation's failure: its message, and the report of it, are
    // official (memory that runs out there is the evaluation's too).
    finding.message = compose();
    PlacedReport& placed = out_.placed;
    if (out_.withSubmission) placed.report = FailureReport(check, finding.message);
    failed_ = true;
    if (placed.report == kUnexpectedFailureReport) Drop();  // no room to quote it a second time
    // The report's place is the first finding's, kept and dropped with it.
    Keep([&] {
      placed.file = file;
      placed.line = finding.line;
      placed.lineMissing = finding.missing;
      out_.findings.push_back(std::move(finding));
    });
    return;
  }
  if (!keeping_) return;
  if (listing_ && out_.findings.size() < kMostFindings &&
      findingText_ + quoted + kMessageBesideQuote <= kMostFindingText) {
    Keep([&] {
      finding.message = compose();
      findingText_ += finding.message.size();
      out_.findings.push_back(std::move(finding));
    });
  } else {
    listing_ = false;
    ++out_.moreFindings;
  }
}

template <typename Change>
void Walk::Keep(const Change& change) {
  if (!keeping_) return;
  try {
    change();
  } catch (const std::bad_alloc&) {
    Drop();
  }
}

void Walk::Drop() {
  keeping_ = false;
  out_.incomplete = true;
  out_.placed.file = InputRead::kNone;
  out_.placed.line = 0;
  out_.placed.lineMissing = false;
  out_.findings = std::vector<Finding>();
  out_.moreFindings = 0;
  out_.blocks = std::deque<AnswerBlock>();
  out_.races = std::vector<BlockRaces>();
  out_.cases = std::vector<CaseSummary>();
  ceilings_ = std::vector<std::int32_t>();
  racePoints_ = std::vector<std::int32_t>();
  raceNewcomers_ = std::vector<std::uint16_t>();
}

bool Walk::TestData(LineReader& input) {
  try {
    ReadTestData(input, testCases_);
  } catch (EAssertion& failure) {
    // The test data's first defect is its only finding: blocks after a
    // broken one cannot be framed.
    Find(InputRead::kTestData, input, static_cast<Check>(failure.line), 0,
         [&] { return std::move(failure.message); });
    testCases_ = std::vector<TestCase>();
    return false;
  }
  out_.testDataValid = true;
  if (!out_.withSubmission) out_.placed.passed = true;  // the test data alone passes when valid
  Keep([&] {
    out_.cases.reserve(testCases_.size());
    ceilings_.reserve(testCases_.size());
    for (const TestCase& testCase : testCases_) {
      out_.cases.push_back({testCase.id, testCase.n, testCase.d, testCase.k, testCase.m});
      std::int32_t best = 0;
      for (std::int32_t p = 0; p < testCase.k; ++p) best += testCase.t[static_cast<std::size_t>(p)];
      ceilings_.push_back(best * testCase.d);  // below 1000 * 999 * 1000
    }
  });
  return true;
}

void Walk::Submission(LineReader& input) {
  std::string_view line;
  const auto find = [&](Check check, std::int64_t lineNumber, std::int32_t number = 0) {
    Find(InputRead::kSubmission, input, check, Quotes(check) ? line.size() : 0,
         [&] { return SubmissionLineMessage(check, line, lineNumber, number); });
  };
  // Lines 1 and 2 are checked each on its own; a missing one ends the file.
  if (!input.NextLine(line)) return find(Check::kContestantNumberMissing, 1);
  if (const std::optional<Check> failed = CheckContestantNumber(line)) find(*failed, 1);
  if (!input.NextLine(line)) return find(Check::kSubmissionTaskNameMissing, 2);
  if (const std::optional<Check> failed = CheckTaskName(line)) find(*failed, 2);

  CaseScorer scorer;
  std::int64_t lineNumber = 3;  // the number of the line read next
  while (!Done() && input.NextLine(line)) {
    if (line.empty()) {
      ++lineNumber;
      continue;
    }
    std::int32_t number = 0;
    // A number line that fails leaves its block's length unknown: the end.
    if (const std::optional<Check> failed = CheckCaseNumber(line, testCases_.size(), number))
      return find(*failed, lineNumber, number);
    AnswerBlock block;
    block.line = lineNumber;
    block.id = number;
    if (!Block(input, scorer, block)) return;
    lineNumber += 1 + scorer.testCase->d;
  }
}

bool Walk::Block(LineReader& input, CaseScorer& scorer, AnswerBlock& block) {
  const TestCase& answered = testCases_[static_cast<std::size_t>(block.id) - 1];
  const std::size_t d = static_cast<std::size_t>(answered.d);
  scorer.Start(block.id, answered);
  bool withRaces = false;
  if (keeping_ && out_.races.size() < kMostBlocksWithRaces) {
    Keep([&] {
      racePoints_.resize(d);
      raceNewcomers_.resize(d);
      withRaces = true;
    });
  }
  bool clean = true;  // no finding in the block so far
  bool ended = false;
  bool previousWellFormed = false;
  std::string_view line;
  for (std::int32_t j = 0; j < answered.d && !Done(); ++j) {
    TeamOutcome outcome;
    if (!input.NextLine(line)) {
      outcome.failed = true;
      outcome.check = Check::kTeamLineMissing;
      ended = true;
    } else {
      outcome = scorer.ScoreTeam(line, j, j > 0 && previousWellFormed);
    }
    if (outcome.failed) {
      clean = false;
      ++block.defects;
      Find(InputRead::kSubmission, input, outcome.check, 0,
           [&] { return MessageOf(outcome, j + 1, answered); });
    }
    if (ended) break;
    previousWellFormed = outcome.wellFormed;
    if (withRaces && clean) {
      racePoints_[static_cast<std::size_t>(j)] = outcome.points;
      raceNewcomers_[static_cast<std::size_t>(j)] = static_cast<std::uint16_t>(outcome.newcomers);
    }
  }
  block.accepted = clean;
  if (clean) {
    block.score = scorer.total;
    if (!failed_) entries_.push_back(ScoreEntry{block.id, scorer.total});
  }
  Keep([&] {
    if (clean) block.ceiling = ceilings_[static_cast<std::size_t>(block.id) - 1];
    out_.blocks.push_back(block);
    if (clean && withRaces) {
      out_.races.push_back(
          {std::vector<std::int32_t>(racePoints_.begin(), racePoints_.end()),
           std::vector<std::uint16_t>(raceNewcomers_.begin(), raceNewcomers_.end())});
    }
  });
  return !ended;
}

void Walk::Finish() {
  testCases_ = std::vector<TestCase>();
  PlacedReport& placed = out_.placed;
  if (out_.withSubmission && !failed_) {
    placed.report = OkReport(entries_);
    // Memory that runs out in it gives the report for unexpected failures.
    placed.passed = placed.report != kUnexpectedFailureReport;
  }
  if (placed.report == kUnexpectedFailureReport && keeping_) Drop();
}

void Walk::OutOfMemory() {
  // The report's room was reserved: the text below fits.
  if (out_.withSubmission && !failed_) out_.placed.report.assign(kUnexpectedFailureReport);
  failed_ = true;
  Drop();
}

// Diagnoses the test data from testData and, when withSubmission, the
// submission that openSubmission() returns (a reader, or a reference to one),
// called only once the test data passed.
template <typename OpenSubmission>
Diagnosis Run(LineReader& testData, bool withSubmission, const OpenSubmission& openSubmission) {
  Diagnosis out;
  out.withSubmission = withSubmission;
  if (withSubmission) out.placed.report.reserve(kUnexpectedFailureReport.size());
  Walk walk(out);
  try {
    if (walk.TestData(testData) && withSubmission) {
      auto&& submission = openSubmission();
      walk.Submission(submission);
    }
    walk.Finish();
  } catch (const IoFailure&) {
    throw;
  } catch (...) {
    walk.OutOfMemory();
  }
  return out;
}

// Returns Diagnose's diagnosis, or DiagnoseTestData's without a submission;
// when memory runs out before it begins, an empty incomplete one.
Diagnosis DiagnoseOrEmpty(std::string_view testData, std::optional<std::string_view> submission) {
  try {
    return submission ? Diagnose(testData, *submission) : DiagnoseTestData(testData);
  } catch (const std::bad_alloc&) {
    Diagnosis empty;
    empty.withSubmission = submission.has_value();
    empty.incomplete = true;
    return empty;
  }
}

}  // namespace

Diagnosis Diagnose(std::string_view testData, std::string_view submission) {
  LineReader testDataInput = LineReader::OverBytes(testData);
  LineReader submissionInput = LineReader::OverBytes(submission);
  return Run(testDataInput, true, [&]() -> LineReader& { return submissionInput; });
}

Diagnosis DiagnoseTestData(std::string_view testData) {
  LineReader input = LineReader::OverBytes(testData);
  return Run(input, false, [&]() -> LineReader& { return input; });
}

Diagnosis DiagnoseFiles(const std::string& testDataPath, const std::string& submissionPath) {
  LineReader input(testDataPath, FileRole::kTestData);
  return Run(input, true, [&] { return LineReader(submissionPath, FileRole::kSubmission); });
}

Diagnosis DiagnoseTestDataFile(const std::string& testDataPath) {
  LineReader input(testDataPath, FileRole::kTestData);
  return Run(input, false, [&]() -> LineReader& { return input; });
}

Diagnosis DiagnoseOrEvaluate(std::string_view testData,
                             std::optional<std::string_view> submission) {
  Diagnosis diagnosis = DiagnoseOrEmpty(testData, submission);
  if (diagnosis.incomplete && diagnosis.withSubmission) {
    diagnosis = Diagnosis();  // released first: the evaluation may need its room
    diagnosis.withSubmission = true;
    diagnosis.incomplete = true;
    diagnosis.placed = EvaluateInMemoryPlaced(testData, *submission);
  }
  return diagnosis;
}

}  // namespace zobnikari
