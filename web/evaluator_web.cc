// The evaluator as the page's WebAssembly module calls it: C functions that
// take every input as an address and a length in the module's memory and hand
// the report back the same way, so that no byte is decoded or cut at a NUL.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string_view>

#include "driver/evaluation.h"

namespace {

// Returns the bytes at data, or none when size is 0 (data may then be null).
std::string_view Bytes(const char* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(data, size);
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

// The record's layout: the number of its fields, its size, then each
// field's offset, in the order of the fields.
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

// Evaluates the testDataSize bytes at testData against the submissionSize
// bytes at submission, as the program does. Returns the result, which with its
// report stays valid until the next call. REQUIRES: each address holds its
// size in bytes (any address with size 0).
EMSCRIPTEN_KEEPALIVE const ZobnikariResult* zobnikari_evaluate(const char* testData,
                                                               std::size_t testDataSize,
                                                               const char* submission,
                                                               std::size_t submissionSize) {
  static zobnikari::PlacedReport placed;
  static ZobnikariResult result;
  // The last report is released first: the next evaluation may need its room.
  placed = zobnikari::PlacedReport();
  placed = zobnikari::EvaluateInMemoryPlaced(Bytes(testData, testDataSize),
                                             Bytes(submission, submissionSize));
  result.report = placed.report.data();
  result.reportSize = static_cast<std::uint32_t>(placed.report.size());
  result.file = static_cast<std::int32_t>(placed.file);
  // A line number is at most the file's size plus one, below 2^32 in a
  // memory of 32-bit addresses; held there all the same.
  result.line = static_cast<std::uint32_t>(
      std::min<std::int64_t>(placed.line, std::numeric_limits<std::uint32_t>::max()));
  result.lineMissing = placed.lineMissing ? 1 : 0;
  result.memoryPages = static_cast<std::uint32_t>(__builtin_wasm_memory_size(0));
  return &result;
}

// Returns the address of the result record's layout (kResultLayout): 32-bit
// numbers, the first of which says how many fields follow the size.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* zobnikari_result_layout() { return kResultLayout; }

}  // extern "C"
