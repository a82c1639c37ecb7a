// The evaluator as the page's WebAssembly module calls it: C functions that
// take every input as an address and a length in the module's memory and hand
// the report back the same way, so that no byte is decoded or cut at a NUL;
// and the diagnosis beside the report, as records of 32-bit numbers that the
// page reads by offsets (a million blocks are 28 MB of records, where their
// JSON would be 80 MB of text to parse).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/diagnosis.h"
#include "driver/evaluation.h"

namespace {

// Returns the bytes at data, or none when size is 0 (data may then be null).
std::string_view Bytes(const char* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(data, size);
}

// Returns value held to 32 bits: a line number or a count is at most a file's
// size plus one, below 2^32 in a memory of 32-bit addresses; held there all
// the same.
std::uint32_t Held32(std::uint64_t value) {
  return static_cast<std::uint32_t>(
      std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

extern "C" {

// One evaluation, as the page reads it: 32-bit fields, whose offsets
// zobnikari_result_layout gives (the page's evaluator-client.js reads them
// by its own table, which the page's tests hold to that layout).
struct ZobnikariResult {
  const char* report;         // the report's first byte
  std::uint32_t reportSize;   // the report's length in bytes
  std::int32_t file;          // 0 none (OK report), 1 test data, 2 submission
  std::uint32_t line;         // the line looked at, from 1; 0 with an OK report
  std::int32_t lineMissing;   // 1 when the file ended before that line
  std::uint32_t memoryPages;  // the module's memory in 64 KiB pages, which never shrinks
};

// A finding of a diagnosis, as the page reads it.
struct ZobnikariFinding {
  std::int32_t file;          // 1 test data, 2 submission
  std::uint32_t line;         // from 1
  std::int32_t missing;       // 1 when the file ended before that line
  std::int32_t check;         // its number
  const char* message;        // its first byte
  std::uint32_t messageSize;  // its length in bytes
};

// An answer block of a diagnosis, as the page reads it.
struct ZobnikariBlock {
  std::uint32_t line;  // its test-case number line
  std::int32_t id;
  std::int32_t score;    // 0 unless accepted
  std::int32_t ceiling;  // 0 unless accepted
  std::int32_t defects;  // its findings, listed or counted
  std::int32_t accepted;
  std::int32_t races;  // the index of its races in the diagnosis's races, or -1
};

// The races of one accepted block: count of each, race 1 first.
struct ZobnikariRaces {
  const std::int32_t* points;
  const std::uint16_t* newcomers;
  std::uint32_t count;
};

// A diagnosis, as the page reads it: its result is the evaluation's (the
// report is the official one), then the lists.
struct ZobnikariDiagnosis {
  ZobnikariResult result;
  std::int32_t withSubmission;  // 0 for the test data alone (no report, no blocks)
  std::int32_t incomplete;      // 1 when memory ran out: the lists are empty
  std::int32_t testDataValid;
  const ZobnikariFinding* findings;
  std::uint32_t findingCount;
  std::uint32_t moreFindings;  // found after the listed ones
  const ZobnikariBlock* blocks;
  std::uint32_t blockCount;
  const ZobnikariRaces* races;
  std::uint32_t raceCount;
  const zobnikari::CaseSummary* cases;  // id, n, d, k, m: five 32-bit numbers each
  std::uint32_t caseCount;
};

}  // extern "C"

namespace {

// The records' layouts, each as the number of its fields, its size, then
// each field's offset in the order of the fields.
constexpr std::uint32_t kResultLayout[] = {
    6,
    sizeof(ZobnikariResult),
    offsetof(ZobnikariResult, report),
    offsetof(ZobnikariResult, reportSize),
    offsetof(ZobnikariResult, file),
    offsetof(ZobnikariResult, line),
    offsetof(ZobnikariResult, lineMissing),
    offsetof(ZobnikariResult, memoryPages),
};
static_assert(std::size(kResultLayout) == 2 + 6, "one offset for each field");

// The diagnosis (its result's layout is kResultLayout), a finding, a block, a
// block's races, a test case, one after another.
constexpr std::uint32_t kDiagnosisLayout[] = {
    13,
    sizeof(ZobnikariDiagnosis),
    offsetof(ZobnikariDiagnosis, result),
    offsetof(ZobnikariDiagnosis, withSubmission),
    offsetof(ZobnikariDiagnosis, incomplete),
    offsetof(ZobnikariDiagnosis, testDataValid),
    offsetof(ZobnikariDiagnosis, findings),
    offsetof(ZobnikariDiagnosis, findingCount),
    offsetof(ZobnikariDiagnosis, moreFindings),
    offsetof(ZobnikariDiagnosis, blocks),
    offsetof(ZobnikariDiagnosis, blockCount),
    offsetof(ZobnikariDiagnosis, races),
    offsetof(ZobnikariDiagnosis, raceCount),
    offsetof(ZobnikariDiagnosis, cases),
    offsetof(ZobnikariDiagnosis, caseCount),
    6,
    sizeof(ZobnikariFinding),
    offsetof(ZobnikariFinding, file),
    offsetof(ZobnikariFinding, line),
    offsetof(ZobnikariFinding, missing),
    offsetof(ZobnikariFinding, check),
    offsetof(ZobnikariFinding, message),
    offsetof(ZobnikariFinding, messageSize),
    7,
    sizeof(ZobnikariBlock),
    offsetof(ZobnikariBlock, line),
    offsetof(ZobnikariBlock, id),
    offsetof(ZobnikariBlock, score),
    offsetof(ZobnikariBlock, ceiling),
    offsetof(ZobnikariBlock, defects),
    offsetof(ZobnikariBlock, accepted),
    offsetof(ZobnikariBlock, races),
    3,
    sizeof(ZobnikariRaces),
    offsetof(ZobnikariRaces, points),
    offsetof(ZobnikariRaces, newcomers),
    offsetof(ZobnikariRaces, count),
    5,
    sizeof(zobnikari::CaseSummary),
    offsetof(zobnikari::CaseSummary, id),
    offsetof(zobnikari::CaseSummary, n),
    offsetof(zobnikari::CaseSummary, d),
    offsetof(zobnikari::CaseSummary, k),
    offsetof(zobnikari::CaseSummary, m),
};
static_assert(std::size(kDiagnosisLayout) == 5 * 2 + 13 + 6 + 7 + 3 + 5,
              "one offset for each field");

// What the last call handed the page, kept until the next call, which
// releases it first: the next evaluation may need its room.
struct Held {
  zobnikari::PlacedReport placed;  // of an evaluation
  ZobnikariResult result;
  zobnikari::Diagnosis diagnosis;
  std::vector<ZobnikariFinding> findings;
  std::vector<ZobnikariBlock> blocks;
  std::vector<ZobnikariRaces> races;
  ZobnikariDiagnosis record;
};

// Returns the held state, released.
Held& Released() {
  static Held held;
  held = Held();
  return held;
}

// Sets result from placed.
void SetResult(ZobnikariResult& result, const zobnikari::PlacedReport& placed) {
  result.report = placed.report.data();
  result.reportSize = static_cast<std::uint32_t>(placed.report.size());
  result.file = static_cast<std::int32_t>(placed.file);
  result.line = Held32(static_cast<std::uint64_t>(placed.line));
  result.lineMissing = placed.lineMissing ? 1 : 0;
}

// Fills held's lists from its diagnosis, the blocks moved out of it one by
// one, so that the records take the room that the blocks leave. Throws
// std::bad_alloc when memory runs out.
void ListDiagnosis(Held& held) {
  zobnikari::Diagnosis& diagnosis = held.diagnosis;
  held.findings.reserve(diagnosis.findings.size());
  for (const zobnikari::Finding& finding : diagnosis.findings) {
    held.findings.push_back(
        {static_cast<std::int32_t>(finding.file), Held32(static_cast<std::uint64_t>(finding.line)),
         finding.missing ? 1 : 0, zobnikari::NumberOf(finding.check), finding.message.data(),
         static_cast<std::uint32_t>(finding.message.size())});
  }
  held.blocks.reserve(diagnosis.blocks.size());
  held.races.reserve(diagnosis.races.size());
  while (!diagnosis.blocks.empty()) {
    const zobnikari::AnswerBlock& block = diagnosis.blocks.front();
    std::int32_t races = -1;
    // diagnosis.races belong to the first accepted blocks, in their order.
    if (block.accepted && held.races.size() < diagnosis.races.size()) {
      const zobnikari::BlockRaces& of = diagnosis.races[held.races.size()];
      races = static_cast<std::int32_t>(held.races.size());
      held.races.push_back(
          {of.points.data(), of.newcomers.data(), static_cast<std::uint32_t>(of.points.size())});
    }
    held.blocks.push_back({Held32(static_cast<std::uint64_t>(block.line)), block.id, block.score,
                           block.ceiling, block.defects, block.accepted ? 1 : 0, races});
    diagnosis.blocks.pop_front();
  }
}

}  // namespace

extern "C" {

// Evaluates the testDataSize bytes at testData against the submissionSize
// bytes at submission, as the program does. Returns the result, which with its
// report stays valid until the next call of this function or of
// zobnikari_diagnose. REQUIRES: each address holds its size in bytes (any
// address with size 0).
EMSCRIPTEN_KEEPALIVE const ZobnikariResult* zobnikari_evaluate(const char* testData,
                                                               std::size_t testDataSize,
                                                               const char* submission,
                                                               std::size_t submissionSize) {
  Held& held = Released();
  held.placed = zobnikari::EvaluateInMemoryPlaced(Bytes(testData, testDataSize),
                                                  Bytes(submission, submissionSize));
  SetResult(held.result, held.placed);
  held.result.memoryPages = static_cast<std::uint32_t>(__builtin_wasm_memory_size(0));
  return &held.result;
}

// Returns the address of the result record's layout (kResultLayout): 32-bit
// numbers, the first of which says how many fields follow the size.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* zobnikari_result_layout() { return kResultLayout; }

// Diagnoses the testDataSize bytes at testData against the submissionSize
// bytes at submission, or with withSubmission 0 the test data alone. Returns
// the record, which with everything it points to stays valid until the next
// call of this function or of zobnikari_evaluate. The report and its place
// are always the evaluation's (DiagnoseOrEvaluate): where memory ran out in
// the diagnosis, the lists are empty.
// REQUIRES: each address holds its size in bytes (any address with size 0).
EMSCRIPTEN_KEEPALIVE const ZobnikariDiagnosis* zobnikari_diagnose(const char* testData,
                                                                  std::size_t testDataSize,
                                                                  const char* submission,
                                                                  std::size_t submissionSize,
                                                                  std::int32_t withSubmission) {
  Held& held = Released();
  zobnikari::Diagnosis& diagnosis = held.diagnosis;
  std::optional<std::string_view> submissionBytes;
  if (withSubmission != 0) submissionBytes = Bytes(submission, submissionSize);
  diagnosis = zobnikari::DiagnoseOrEvaluate(Bytes(testData, testDataSize), submissionBytes);
  ZobnikariResult& result = held.record.result;
  SetResult(result, diagnosis.placed);
  try {
    ListDiagnosis(held);
  } catch (const std::bad_alloc&) {
    held.findings = std::vector<ZobnikariFinding>();
    held.blocks = std::vector<ZobnikariBlock>();
    held.races = std::vector<ZobnikariRaces>();
    diagnosis.cases = std::vector<zobnikari::CaseSummary>();
    diagnosis.incomplete = true;
  }
  ZobnikariDiagnosis& record = held.record;
  record.withSubmission = diagnosis.withSubmission ? 1 : 0;
  record.incomplete = diagnosis.incomplete ? 1 : 0;
  record.testDataValid = diagnosis.testDataValid ? 1 : 0;
  record.findings = held.findings.data();
  record.findingCount = static_cast<std::uint32_t>(held.findings.size());
  record.moreFindings = Held32(diagnosis.moreFindings);
  record.blocks = held.blocks.data();
  record.blockCount = static_cast<std::uint32_t>(held.blocks.size());
  record.races = held.races.data();
  record.raceCount = static_cast<std::uint32_t>(held.races.size());
  record.cases = diagnosis.cases.data();
  record.caseCount = static_cast<std::uint32_t>(diagnosis.cases.size());
  result.memoryPages = static_cast<std::uint32_t>(__builtin_wasm_memory_size(0));
  return &record;
}

// Returns the address of the diagnosis's layouts (kDiagnosisLayout): 32-bit
// numbers, record after record.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* zobnikari_diagnosis_layout() { return kDiagnosisLayout; }

}  // extern "C"
