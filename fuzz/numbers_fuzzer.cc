// Fuzz target: list parsing (ParseIntList) and header-number scanning
// (ScanInts) on arbitrary bytes. Each is checked against an independent
// reading of the same bytes: list lines against a plain byte-by-byte parser
// written from the list rules, header lines against the C library's sscanf;
// and the block scan under the list parser against its portable twin.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/assertion.h"
#include "common/bits.h"
#include "common/numbers.h"
#include "fuzz/fuzz_support.h"
#include "tests/reference_list.h"

namespace {

using zobnikari::fuzz::Require;

using zobnikari::reference::IsBlankByte;
using zobnikari::reference::IsDigitByte;
using zobnikari::reference::ListOutcome;

// Runs ParseIntList with keep on text and compares it with the reference.
void CheckList(std::string_view text, const ListOutcome& expected, std::size_t keep) {
  std::vector<std::int32_t> values = {-1, -2, -3};  // must be emptied
  try {
    const std::size_t count = zobnikari::ParseIntList(text, values, keep);
    Require(!expected.failed, "ParseIntList fails where the rules do");
    Require(count == expected.numbers.size(), "ParseIntList counts every number of the line");
    const std::size_t kept = count < keep ? count : keep;
    Require(values.size() == kept, "ParseIntList keeps min(keep, count) numbers");
    for (std::size_t i = 0; i < kept; ++i) {
      Require(values[i] == expected.numbers[i], "ParseIntList yields the line's numbers in order");
    }
  } catch (const zobnikari::EAssertion& failure) {
    Require(expected.failed, "ParseIntList throws only where the rules fail");
    Require(failure.line == expected.line, "ParseIntList fails with the rules' source line");
    Require(failure.message == expected.message, "ParseIntList fails with the rules' message");
    Require(values.size() <= keep, "ParseIntList never holds more than keep numbers");
  }
}

// Returns the number of a sign and a run of digits, held at INT32_MIN or
// INT32_MAX beyond the 32-bit range (the saturation of header numbers), and
// sets fits to whether it lies in that range.
std::int32_t HeaderValue(bool negative, const std::string& digits, bool& fits) {
  const std::size_t first = digits.find_first_not_of('0');
  const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
  const std::string limit = negative ? "2147483648" : "2147483647";
  fits = significant.size() < limit.size() ||
         (significant.size() == limit.size() && significant <= limit);
  if (!fits) return negative ? INT32_MIN : INT32_MAX;
  const long long magnitude = std::stoll(significant);
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// The outcome of scanning a header line: the count of numbers stored (-1 when
// nothing but blanks stands before the first), each value and whether it lay
// in the 32-bit range.
struct ScanOutcome {
  int count = 0;
  std::int32_t values[5] = {};
  bool fits[5] = {};
};

// Scans text by the "%d" rules: each conversion skips blanks, takes an
// optional sign and at least one digit; the first misfit ends the scan.
ScanOutcome ReferenceScan(std::string_view text, int conversions) {
  ScanOutcome outcome;
  std::size_t i = 0;
  for (int stored = 0; stored < conversions; ++stored) {
    while (i < text.size() && IsBlankByte(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size()) {
      outcome.count = stored == 0 ? -1 : stored;
      return outcome;
    }
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    std::string digits;
    while (i < text.size() && IsDigitByte(static_cast<unsigned char>(text[i]))) digits += text[i++];
    if (digits.empty()) {
      outcome.count = stored;
      return outcome;
    }
    outcome.values[stored] = HeaderValue(negative, digits, outcome.fits[stored]);
  }
  outcome.count = conversions;
  return outcome;
}

// Runs ScanInts on text and compares it with the reference and, for text
// without a NUL byte (where sscanf would stop), with sscanf itself.
void CheckScan(std::string_view text, int conversions) {
  std::int32_t values[5] = {};
  const int got = zobnikari::ScanInts(text, values, conversions);
  const ScanOutcome expected = ReferenceScan(text, conversions);
  Require(got == expected.count, "ScanInts returns the count of %d conversions");
  for (int i = 0; i < got; ++i) {
    Require(values[i] == expected.values[i], "ScanInts stores each number, saturated");
  }
  if (text.find('\0') != std::string_view::npos) return;
  static const char* const kFormats[] = {"%d", "%d %d", "%d %d %d", "%d %d %d %d",
                                         "%d %d %d %d %d"};
  const std::string line(text);
  int c[5] = {};
  const int scanned =
      std::sscanf(line.c_str(), kFormats[conversions - 1], &c[0], &c[1], &c[2], &c[3], &c[4]);
  Require(scanned == got, "ScanInts returns what sscanf returns");
  for (int i = 0; i < got; ++i) {
    if (expected.fits[i]) Require(c[i] == values[i], "ScanInts reads in-range numbers as sscanf");
  }
}

// Runs both forms of the block scan on every 64-byte window of text (the
// text padded with spaces where it is shorter) and requires them to agree.
void CheckBlockScans(std::string_view text) {
  std::string padded(text);
  if (padded.size() < zobnikari::kScanBlock) padded.resize(zobnikari::kScanBlock, ' ');
  for (std::size_t at = 0; at + zobnikari::kScanBlock <= padded.size(); ++at) {
    const unsigned char* const block = reinterpret_cast<const unsigned char*>(padded.data()) + at;
    std::uint16_t fast[zobnikari::kScanBlock];
    std::uint16_t plain[zobnikari::kScanBlock];
    const zobnikari::ByteClasses a = zobnikari::ScanBlock(block, fast);
    const zobnikari::ByteClasses b = zobnikari::ScanBlockPortable(block, plain);
    Require(a.spaces == b.spaces && a.digits == b.digits, "ScanBlock classifies as its twin");
    for (unsigned i = 0; i < zobnikari::kScanBlock; ++i) {
      Require(fast[i] == plain[i], "ScanBlock gives its twin's digit-run values");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < zobnikari::fuzz::kNumbersSelectorBytes) return 0;
  const std::uint8_t selector = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const ListOutcome expected = zobnikari::reference::ParseList(text);
  CheckList(text, expected, SIZE_MAX);
  CheckList(text, expected, zobnikari::fuzz::NumbersKeep(selector));
  CheckScan(text, zobnikari::fuzz::NumbersScanCount(selector));
  CheckBlockScans(text);
  return 0;
}
