// Fuzz target: the whole evaluation, in process. Each input is split into a
// test-data file and a submission (fuzz_support.h), written to a scratch
// folder and evaluated by RunEvaluation; the report must then have one of its
// shapes: OK with exactly as many entries as its count line says, or a
// failure naming one of the program's checks.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "driver/evaluation.h"
#include "fuzz/fuzz_support.h"

namespace {

using zobnikari::fuzz::Require;

// The source line numbers of every check of the program.
constexpr int kChecks[] = {55,  61,  79,  80,  81,  83,  84,  85,  86,  87,  89,  91,
                           94,  95,  99,  102, 106, 107, 119, 120, 123, 126, 133, 158,
                           160, 167, 169, 174, 202, 203, 205, 206, 207, 215, 217};

constexpr std::string_view kFailurePrefix = "Napaka [Orv19Zobnikari.cpp:";
constexpr std::string_view kUnexpected =
    "Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n";

// The scratch folder of this process, made on first use (in memory where the
// system offers a folder for it) and removed at exit.
class Scratch {
 public:
  Scratch() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (access(base.c_str(), W_OK) != 0) base = std::filesystem::temp_directory_path(error);
    std::string pattern = (base / "zobnikari_fuzz_XXXXXX").string();
    Require(mkdtemp(&pattern[0]) != nullptr, "a scratch folder can be made");
    folder_ = pattern;
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Returns the path of name in the folder.
  std::string Path(const char* name) const { return (folder_ / name).string(); }

 private:
  std::filesystem::path folder_;
};

// Writes bytes to the file at path, created or truncated.
void WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  Require(file != nullptr, "a scratch file can be written");
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  Require(std::fclose(file) == 0 && written, "a scratch file is written whole");
}

// Returns the bytes of the file at path, which must exist.
std::string ReadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  Require(file != nullptr, "the report exists");
  std::string bytes;
  char block[1 << 16];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
    bytes.append(block, got);
  std::fclose(file);
  return bytes;
}

// Takes a "%d" number from the front of rest (digits, no leading zero, at
// most 2147483647, with a minus sign when allowed). Returns false, rest
// untouched, when none stands there.
bool TakeNumber(std::string_view& rest, bool allowMinus, std::int64_t& value) {
  std::size_t i = allowMinus && !rest.empty() && rest[0] == '-' ? 1 : 0;
  const std::size_t first = i;
  while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i - first <= 10) ++i;
  const std::size_t digits = i - first;
  if (digits == 0 || digits > 10 || (digits > 1 && rest[first] == '0')) return false;
  if (first == 1 && rest[1] == '0') return false;  // "-0"
  value = std::stoll(std::string(rest.substr(first, digits)));
  if (value > (first == 1 ? 2147483648LL : 2147483647LL)) return false;
  if (first == 1) value = -value;
  rest.remove_prefix(i);
  return true;
}

// Takes text from the front of rest; returns false when rest does not begin with it.
bool Take(std::string_view& rest, std::string_view text) {
  if (rest.substr(0, text.size()) != text) return false;
  rest.remove_prefix(text.size());
  return true;
}

// Checks an OK report: the count, then that many "<id> <score>" lines, each
// id a test-case number (at least 1) and each score one a block can reach
// (0 to 1000 races of 999 members worth 1000 points), and nothing after them.
void CheckOkReport(std::string_view rest) {
  std::int64_t count = 0;
  Require(TakeNumber(rest, false, count) && Take(rest, "\n"), "an OK report gives its count");
  for (std::int64_t i = 0; i < count; ++i) {
    std::int64_t id = 0;
    std::int64_t score = 0;
    Require(TakeNumber(rest, false, id) && id >= 1 && Take(rest, " "),
            "an OK entry begins with a test-case number and a blank");
    Require(TakeNumber(rest, false, score) && score <= 999000000 && Take(rest, "\n"),
            "an OK entry ends with a reachable score");
  }
  Require(rest.empty(), "an OK report holds exactly as many entries as its count line says");
}

// Checks a failure report: the number of one of the program's checks, a
// message of one line, and -1.
void CheckFailureReport(std::string_view rest) {
  std::int64_t check = 0;
  Require(TakeNumber(rest, false, check) && Take(rest, "]: "), "a failure names its check");
  Require(std::find(std::begin(kChecks), std::end(kChecks), check) != std::end(kChecks),
          "a failure names one of the program's checks");
  Require(rest.size() > 4 && rest.substr(rest.size() - 4) == "\n-1\n",
          "a failure report ends with the line -1");
  Require(rest.find('\n') == rest.size() - 4, "a failure message is one non-empty line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  static const std::string testDataPath = scratch.Path("input.txt");
  static const std::string submissionPath = scratch.Path("submission.txt");
  static const std::string reportPath = scratch.Path("report.txt");

  const zobnikari::fuzz::EvaluationFiles files = zobnikari::fuzz::SplitEvaluationInput(
      std::string_view(reinterpret_cast<const char*>(data), size));
  WriteFile(testDataPath, files.testData);
  WriteFile(submissionPath, files.submission);
  const int status = zobnikari::RunEvaluation(
      {"Orv19Zobnikari", "eval", testDataPath, submissionPath, reportPath});
  Require(status == 0, "a run that can write its report ends with status 0");

  std::string_view report;
  const std::string bytes = ReadFile(reportPath);
  report = bytes;
  if (Take(report, "OK\n")) {
    CheckOkReport(report);
  } else if (Take(report, kFailurePrefix)) {
    CheckFailureReport(report);
  } else {
    // Inputs this small never exhaust memory, so nothing may end in the
    // report for unexpected failures.
    Require(report != kUnexpected, "no small input ends in an unexpected failure");
    Require(false, "the report has one of its three shapes");
  }
  return 0;
}
