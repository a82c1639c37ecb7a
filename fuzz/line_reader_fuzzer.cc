// Fuzz target: the line reader on arbitrary bytes, from a file in blocks of
// any size or from memory, checked line by line against a plain split of the
// same bytes by the text-mode rules.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

using zobnikari::fuzz::Require;

// Splits bytes into lines, one byte at a time: byte 26 ends the input; a CR
// directly before an LF is dropped, a lone CR is an ordinary byte; an LF ends
// the line, which does not hold it; a last line without an LF counts, and after
// a final LF there is no further (empty) line.
std::vector<std::string> ReferenceLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool begun = false;  // a byte of the current line has been taken
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == 26) break;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      begun = false;
      continue;
    }
    line += c;
    begun = true;
  }
  if (begun) lines.push_back(line);
  return lines;
}

// The file that the reader reads, removed when the fuzzer ends.
struct ScratchFile {
  std::string path = "fuzz_line_reader_" + std::to_string(getpid()) + ".tmp";
  ~ScratchFile() { std::remove(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < zobnikari::fuzz::kLineReaderSelectorBytes) return 0;
  const std::size_t blockSize = zobnikari::fuzz::LineReaderBlockSize(data[0]);
  const bool inMemory = (data[1] & 1) != 0;
  const std::string_view bytes(
      reinterpret_cast<const char*>(data) + zobnikari::fuzz::kLineReaderSelectorBytes,
      size - zobnikari::fuzz::kLineReaderSelectorBytes);
  const std::vector<std::string> expected = ReferenceLines(bytes);
  // The file: one per process, written afresh for every input.
  static const ScratchFile scratch;
  const std::string& path = scratch.path;
  if (!inMemory) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                std::fclose(file) == 0,
            "the input can be written to a file");
  }

  zobnikari::LineReader reader =
      inMemory ? zobnikari::LineReader::OverBytes(bytes)
               : zobnikari::LineReader(
                     zobnikari::InputFile::Open(path, zobnikari::FileRole::kTestData), blockSize);
  for (std::size_t i = 0;; ++i) {
    std::string_view line = "stale";
    const bool ok = reader.NextLine(line);
    if (i == expected.size()) {
      Require(!ok, "the read after the last line fails");
      Require(line.empty(), "a failed read leaves the line empty");
      break;
    }
    Require(ok, "every line of the input is read");
    Require(line == expected[i], "each line holds the bytes that the text-mode rules give");
  }
  std::string_view again = "stale";
  Require(!reader.NextLine(again) && again.empty(), "a failed read stays failed");
  return 0;
}
