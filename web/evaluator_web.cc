// The evaluator as the page's WebAssembly module calls it: C functions that
// take every input as an address and a length in the module's memory and hand
// the report back the same way, so that no byte is decoded or cut at a NUL.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "driver/evaluation.h"
#include "web/sha256.h"

namespace {

// Returns the bytes at data, or none when size is 0 (data may then be null).
std::string_view Bytes(const char* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(data, size);
}

}  // namespace

extern "C" {

// One evaluation, as the page reads it: 32-bit fields at fixed offsets
// (the page's evaluator-client.js reads them by these offsets).
struct ZobnikariResult {
  const char* report;         // offset 0: the report's first byte
  std::uint32_t reportSize;   // offset 4
  std::int32_t file;          // offset 8: 0 none (OK report), 1 test data, 2 submission
  std::uint32_t line;         // offset 12: the line looked at, from 1; 0 with an OK report
  std::int32_t lineMissing;   // offset 16: 1 when the file ended before that line
  std::uint32_t memoryPages;  // offset 20: the module's memory in 64 KiB pages, which never shrinks
};
static_assert(sizeof(ZobnikariResult) == 24 && offsetof(ZobnikariResult, memoryPages) == 20,
              "the page reads the fields at these offsets");

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

// Writes the SHA-256 digest of the size bytes at bytes into the 32 bytes at
// digest. REQUIRES: bytes holds size bytes (any address with size 0).
EMSCRIPTEN_KEEPALIVE void zobnikari_sha256(const char* bytes, std::size_t size,
                                           std::uint8_t* digest) {
  const auto sum = zobnikari::Sha256(Bytes(bytes, size));
  std::copy(sum.begin(), sum.end(), digest);
}

}  // extern "C"
