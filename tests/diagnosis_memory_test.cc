// The diagnosis's memory: every allocation made by new counted, its bytes
// and its peak, and the Nth failing in turn. Memory that runs out in the
// diagnosis's bookkeeping drops the findings and blocks and keeps the
// official report; in the official part it gives the report for unexpected
// failures, as the evaluation does; no fault ever gives another report. And
// the diagnosis holds at most the evaluation's peak, 24 bytes a block and
// 8 MiB more. A program of its own, since it replaces the allocation
// functions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/diagnosis.h"
#include "driver/evaluation.h"
#include "report_cases.h"

namespace {

// What new has handed out, and which allocation fails. Counted only while
// armed: the test's own allocations never count.
struct Counter {
  bool armed = false;
  std::int64_t allocations = 0;
  std::int64_t failAt = 0;  // 0: none fails
  bool failed = false;
  std::size_t bytes = 0;  // held now
  std::size_t peak = 0;
};
Counter counter;

// Each block carries its size in front, in a header that keeps the
// alignment that malloc gives.
constexpr std::size_t kHeader = 16;

}  // namespace

// The blocks come from malloc and go back to free, on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  if (counter.armed && ++counter.allocations == counter.failAt) {
    counter.failed = true;
    throw std::bad_alloc();
  }
  char* block = static_cast<char*>(std::malloc(size + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  counter.bytes += size;
  if (counter.bytes > counter.peak) counter.peak = counter.bytes;
  return block + kHeader;
}
void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  char* start = static_cast<char*>(block) - kHeader;
  counter.bytes -= *reinterpret_cast<std::size_t*>(start);
  std::free(start);
}
#include "new_forms.h"  // after the two forms it builds on

namespace zobnikari {
namespace {

using cases::kExampleTestData;
using cases::Submission;

// Returns a submission of count answers to the example, the answer block
// given.
std::string Answers(int count, const std::string& block) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += block;
  return Submission(lines);
}

// Inputs whose every allocation the tests below fail in turn.
struct MemoryRow {
  const char* name;
  std::string testData;
  std::string submission;
};

std::vector<MemoryRow> MemoryRows() {
  return {
      {"accepted_blocks", kExampleTestData, Answers(60, "1\n3 1\n1 2\n2 1\n")},
      {"defects_in_many_blocks", kExampleTestData,
       Answers(30, "1\n3 1\n1 2\n2 1\n1\n1 1\n2 4\n9 1\n") + "5\n"},
      {"defects_after_accepted_blocks", kExampleTestData,
       Answers(30, "1\n3 1\n1 2\n2 1\n") + "1\n3 1\n1 1\n2 1 3\n"},
      {"test_data_invalid", "Zobnikari\n2\n" + cases::kExampleBlock, Answers(3, "1\n1 1\n")},
  };
}

// Returns true when report is an OK report.
bool IsOk(const std::string& report) { return report.compare(0, 3, "OK\n") == 0; }

// Runs run() once with each allocation failing in turn, the first, then the
// second, and so on, until a run in which none failed; after each run calls
// check(label, failAt), which may read counter.failed.
template <typename Run, typename Check>
void FailEachAllocation(const std::string& name, const Run& run, const Check& check) {
  for (std::int64_t failAt = 1;; ++failAt) {
    ASSERT_LT(failAt, 100000) << name << ": the allocations never end";
    counter = Counter();
    counter.failAt = failAt;
    counter.armed = true;
    run();
    counter.armed = false;
    check(name + ", allocation " + std::to_string(failAt), failAt);
    if (!counter.failed) return;
  }
}

TEST(DiagnosisMemory, AFailingAllocationNeverChangesTheReport) {
  for (const MemoryRow& row : MemoryRows()) {
    const Diagnosis untouched = Diagnose(row.testData, row.submission);
    // The evaluation's own allocations: the diagnosis's official part makes
    // those alone, so no more faults than that may end in the report for
    // unexpected failures.
    counter = Counter();
    counter.armed = true;
    EvaluateInMemory(row.testData, row.submission);
    const std::int64_t evaluationAllocations = counter.allocations;
    std::map<std::string, int> tally;
    // What the diagnosis gave, taken before it is released.
    bool threw = false;
    bool incomplete = false;
    bool listsEmpty = false;
    PlacedReport placed;
    const auto diagnose = [&] {
      threw = false;
      try {
        const Diagnosis diagnosis = Diagnose(row.testData, row.submission);
        counter.armed = false;
        incomplete = diagnosis.incomplete;
        listsEmpty = diagnosis.findings.empty() && diagnosis.moreFindings == 0 &&
                     diagnosis.blocks.empty() && diagnosis.races.empty();
        placed = diagnosis.placed;
      } catch (const std::bad_alloc&) {
        threw = true;
        placed = PlacedReport();
      }
    };
    FailEachAllocation(row.name, diagnose, [&](const std::string& label, std::int64_t failAt) {
      const std::string& report = placed.report;
      EXPECT_EQ(placed.passed, IsOk(report)) << label;
      if (!counter.failed) {
        EXPECT_FALSE(incomplete) << label;
        EXPECT_EQ(report, untouched.placed.report) << label;
        EXPECT_EQ(placed.file, untouched.placed.file) << label;
        EXPECT_EQ(placed.line, untouched.placed.line) << label;
        return;
      }
      if (threw) {
        ++tally["thrown before the evaluation began"];
        EXPECT_LE(failAt, 3) << label;
        return;
      }
      EXPECT_TRUE(incomplete) << label;
      EXPECT_TRUE(listsEmpty) << label;
      // The place goes with the lists.
      EXPECT_EQ(placed.file, InputRead::kNone) << label;
      EXPECT_EQ(placed.line, 0) << label;
      EXPECT_FALSE(placed.lineMissing) << label;
      if (report == untouched.placed.report) {
        ++tally["official report kept"];
      } else {
        ++tally["report for unexpected failures"];
        EXPECT_EQ(report, kUnexpectedFailureReport) << label;
      }
    });
    EXPECT_GT(tally["official report kept"], 0) << row.name;
    EXPECT_LE(tally["report for unexpected failures"], evaluationAllocations) << row.name;
    std::cout << row.name << ":";
    for (const auto& [outcome, count] : tally) std::cout << " " << outcome << " " << count << ";";
    std::cout << std::endl;
  }
}

TEST(DiagnosisMemory, EveryFailingAllocationLeavesTheEvaluationsPlacedReport) {
  for (const MemoryRow& row : MemoryRows()) {
    const PlacedReport evaluated = EvaluateInMemoryPlaced(row.testData, row.submission);
    const Diagnosis aloneUntouched = DiagnoseTestData(row.testData);
    std::map<std::string, int> tally;
    Diagnosis diagnosis;
    FailEachAllocation(
        row.name, [&] { diagnosis = DiagnoseOrEvaluate(row.testData, row.submission); },
        [&](const std::string& label, std::int64_t) {
          const PlacedReport& placed = diagnosis.placed;
          // Only one allocation fails: the evaluation that stands in for the
          // diagnosis runs whole, and gives the report of untouched memory.
          EXPECT_EQ(placed.report, evaluated.report) << label;
          EXPECT_EQ(placed.passed, evaluated.passed) << label;
          EXPECT_EQ(placed.file, evaluated.file) << label;
          EXPECT_EQ(placed.line, evaluated.line) << label;
          EXPECT_EQ(placed.lineMissing, evaluated.lineMissing) << label;
          EXPECT_TRUE(diagnosis.withSubmission) << label;
          if (!counter.failed) {
            EXPECT_FALSE(diagnosis.incomplete) << label;
            return;
          }
          ++tally["evaluated alone"];
          EXPECT_TRUE(diagnosis.incomplete) << label;
          EXPECT_TRUE(diagnosis.findings.empty() && diagnosis.blocks.empty() &&
                      diagnosis.races.empty() && diagnosis.cases.empty() &&
                      !diagnosis.testDataValid)
              << label;
        });
    // The test data alone is never evaluated: where memory runs out, its
    // diagnosis is incomplete and has no place.
    Diagnosis alone;
    FailEachAllocation(
        std::string(row.name) + ", test data alone",
        [&] { alone = DiagnoseOrEvaluate(row.testData, std::nullopt); },
        [&](const std::string& label, std::int64_t) {
          EXPECT_FALSE(alone.withSubmission) << label;
          EXPECT_TRUE(alone.placed.report.empty()) << label;
          EXPECT_EQ(alone.placed.passed, alone.testDataValid) << label;
          if (!counter.failed) {
            EXPECT_FALSE(alone.incomplete) << label;
            EXPECT_EQ(alone.testDataValid, aloneUntouched.testDataValid) << label;
            EXPECT_EQ(alone.placed.file, aloneUntouched.placed.file) << label;
            EXPECT_EQ(alone.placed.line, aloneUntouched.placed.line) << label;
            return;
          }
          ++tally["test data alone incomplete"];
          EXPECT_TRUE(alone.incomplete) << label;
          EXPECT_EQ(alone.placed.file, InputRead::kNone) << label;
          EXPECT_EQ(alone.placed.line, 0) << label;
        });
    EXPECT_GT(tally["evaluated alone"], 0) << row.name;
    EXPECT_GT(tally["test data alone incomplete"], 0) << row.name;
  }
}

TEST(DiagnosisMemory, TheEvaluationPassesOnlyWithTheOkReport) {
  // Memory that runs out while the OK report is written gives the report for
  // unexpected failures, which never passes, though every block was scored.
  for (const MemoryRow& row : MemoryRows()) {
    const bool ok = IsOk(EvaluateInMemory(row.testData, row.submission));
    int passed = 0;
    int failedAfterScoring = 0;
    PlacedReport placed;
    bool threw = false;
    const auto evaluate = [&] {
      threw = false;
      try {
        placed = EvaluateInMemoryPlaced(row.testData, row.submission);
      } catch (const std::bad_alloc&) {
        threw = true;
      }
    };
    FailEachAllocation(row.name, evaluate, [&](const std::string& label, std::int64_t) {
      if (threw) return;
      EXPECT_EQ(placed.passed, IsOk(placed.report)) << label;
      if (placed.passed) ++passed;
      if (!placed.passed && placed.file == InputRead::kNone) {
        ++failedAfterScoring;
        EXPECT_EQ(placed.report, kUnexpectedFailureReport) << label;
      }
    });
    std::cout << row.name << ": passed " << passed << ", out of memory after scoring "
              << failedAfterScoring << std::endl;
    // An OK report outgrows the room reserved for the report at the start.
    if (ok) {
      EXPECT_GT(failedAfterScoring, 0) << row.name;
    }
  }
}

// Returns the peak of the bytes held by new while run() runs.
template <typename Run>
std::size_t PeakOf(const Run& run) {
  counter = Counter();
  counter.armed = true;
  run();
  counter.armed = false;
  return counter.peak;
}

TEST(DiagnosisMemory, HoldsAtMostTheEvaluationsPeakAnd24BytesABlock) {
  // A million blocks of one line each: what the diagnosis keeps of every
  // block is what grows.
  constexpr int kBlocks = 1000000;
  const std::string testData = "Zobnikari\n1\n\n1 2 1 1 1\n3 0\n2 1\n";
  const std::string submission = Answers(kBlocks, "1\n2\n");
  const std::size_t evaluation = PeakOf([&] { EvaluateInMemory(testData, submission); });
  std::size_t blocks = 0;
  const std::size_t diagnosis = PeakOf([&] {
    const Diagnosis diagnosed = Diagnose(testData, submission);
    blocks = diagnosed.blocks.size();
  });
  ASSERT_EQ(blocks, static_cast<std::size_t>(kBlocks));
  std::cout << "peak bytes: evaluation " << evaluation << ", diagnosis " << diagnosis << " ("
            << static_cast<double>(diagnosis - evaluation) / kBlocks << " more a block)"
            << std::endl;
  EXPECT_LE(diagnosis, evaluation + 24 * static_cast<std::size_t>(kBlocks) + (8u << 20));
}

}  // namespace
}  // namespace zobnikari
