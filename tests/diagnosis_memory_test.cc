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
#include <string>

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

TEST(DiagnosisMemory, AFailingAllocationNeverChangesTheReport) {
  const struct {
    const char* name;
    std::string testData;
    std::string submission;
  } rows[] = {
      {"accepted_blocks", kExampleTestData, Answers(60, "1\n3 1\n1 2\n2 1\n")},
      {"defects_in_many_blocks", kExampleTestData,
       Answers(30, "1\n3 1\n1 2\n2 1\n1\n1 1\n2 4\n9 1\n") + "5\n"},
      {"defects_after_accepted_blocks", kExampleTestData,
       Answers(30, "1\n3 1\n1 2\n2 1\n") + "1\n3 1\n1 1\n2 1 3\n"},
      {"test_data_invalid", "Zobnikari\n2\n" + cases::kExampleBlock, Answers(3, "1\n1 1\n")},
  };
  for (const auto& row : rows) {
    const Diagnosis untouched = Diagnose(row.testData, row.submission);
    // The evaluation's own allocations: the diagnosis's official part makes
    // those alone, so no more faults than that may end in the report for
    // unexpected failures.
    counter = Counter();
    counter.armed = true;
    EvaluateInMemory(row.testData, row.submission);
    const std::int64_t evaluationAllocations = counter.allocations;
    std::map<std::string, int> tally;
    for (std::int64_t failAt = 1;; ++failAt) {
      counter = Counter();
      counter.failAt = failAt;
      counter.armed = true;
      // What the diagnosis gave, taken before it is released.
      bool threw = false;
      bool incomplete = false;
      bool listsEmpty = false;
      std::string report;
      try {
        const Diagnosis diagnosis = Diagnose(row.testData, row.submission);
        counter.armed = false;
        incomplete = diagnosis.incomplete;
        listsEmpty = diagnosis.findings.empty() && diagnosis.moreFindings == 0 &&
                     diagnosis.blocks.empty() && diagnosis.races.empty();
        report = diagnosis.report;
      } catch (const std::bad_alloc&) {
        threw = true;
      }
      counter.armed = false;
      const std::string label = std::string(row.name) + ", allocation " + std::to_string(failAt);
      if (!counter.failed) {
        EXPECT_FALSE(incomplete) << label;
        EXPECT_EQ(report, untouched.report) << label;
        break;
      }
      if (threw) {
        ++tally["thrown before the evaluation began"];
        EXPECT_LE(failAt, 3) << label;
        continue;
      }
      EXPECT_TRUE(incomplete) << label;
      EXPECT_TRUE(listsEmpty) << label;
      if (report == untouched.report) {
        ++tally["official report kept"];
      } else {
        ++tally["report for unexpected failures"];
        EXPECT_EQ(report, kUnexpectedFailureReport) << label;
      }
      ASSERT_LT(failAt, 100000) << "the allocations never end";
    }
    EXPECT_GT(tally["official report kept"], 0) << row.name;
    EXPECT_LE(tally["report for unexpected failures"], evaluationAllocations) << row.name;
    std::cout << row.name << ":";
    for (const auto& [outcome, count] : tally) std::cout << " " << outcome << " " << count << ";";
    std::cout << std::endl;
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
