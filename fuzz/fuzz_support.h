// What the fuzz targets share: the layout of each target's input (which the
// seed corpus tool writes too) and the check that stops a run as a finding.
#ifndef ZOBNIKARI_FUZZ_FUZZ_SUPPORT_H_
#define ZOBNIKARI_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace zobnikari {
namespace fuzz {

// Stops the process with a message naming the broken property when ok is
// false; libFuzzer then saves the input as a finding.
inline void Require(bool ok, const char* property) {
  if (ok) return;
  std::fprintf(stderr, "finding: the property \"%s\" does not hold\n", property);
  std::abort();
}

// The whole-evaluation target's input is the test-data file, this marker,
// then the submission. The first marker splits; without one the input is all
// test data and the submission is empty.
constexpr std::string_view kSubmissionMarker = "<<<submission.txt>>>";

// The two files that an input of the whole-evaluation target stands for.
struct EvaluationFiles {
  std::string_view testData;
  std::string_view submission;
};

// Returns the test-data and submission bytes of input, as laid out above.
inline EvaluationFiles SplitEvaluationInput(std::string_view input) {
  const std::size_t marker = input.find(kSubmissionMarker);
  if (marker == std::string_view::npos) return {input, std::string_view()};
  return {input.substr(0, marker), input.substr(marker + kSubmissionMarker.size())};
}

// The line-reader target's input is two selector bytes, then the file: the
// first selects the reader's block size, the second's lowest bit whether the
// file is read from a stream (clear) or as bytes in memory (set).
constexpr std::size_t kLineReaderSelectorBytes = 2;

// Returns the block size that selector byte s stands for: 1 to 200 for s
// below 200, else a power of two from 1 to 1 MiB.
inline std::size_t LineReaderBlockSize(std::uint8_t s) {
  if (s < 200) return std::size_t{s} + 1;
  const unsigned shift = s - 200u;
  return std::size_t{1} << (shift > 20 ? 20 : shift);
}

// The numbers target's input is one selector byte, then the line. The low
// four bits give ParseIntList's keep limit (15 for none), the high four, taken
// modulo 5, the number of "%d" conversions less one.
constexpr std::size_t kNumbersSelectorBytes = 1;

// Returns the keep limit that selector byte s stands for.
inline std::size_t NumbersKeep(std::uint8_t s) {
  const std::size_t low = s & 0x0fu;
  return low == 0x0f ? std::numeric_limits<std::size_t>::max() : low;
}

// Returns the number of "%d" conversions, 1 to 5, that selector byte s stands for.
inline int NumbersScanCount(std::uint8_t s) { return 1 + (s >> 4) % 5; }

}  // namespace fuzz
}  // namespace zobnikari

#endif  // ZOBNIKARI_FUZZ_FUZZ_SUPPORT_H_
