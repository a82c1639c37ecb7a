// Hostile inputs, too large to keep as case folders: each case makes its files
// at test time, runs the real program on them, compares the report byte for
// byte and holds the run to a bound on CPU time and on peak memory. CPU time
// (user and system) is what the program itself spent: other work on a busy
// machine stretches wall time, not that.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "common/checks.h"
#include "program_run.h"
#include "report_cases.h"

namespace zobnikari {
namespace {

namespace fs = std::filesystem;

// One stretch of a file: text repeated times times, or, with a seed, times
// bytes of the random stream that the seed starts.
struct Piece {
  std::string text;
  std::uint64_t times = 1;
  std::uint32_t seed = 0;
};

// A file's bytes as pieces, so that files and reports of hundreds of megabytes
// are never held in memory (the tests measure the program's memory, and a
// child starts from its parent's).
using Bytes = std::vector<Piece>;

// Returns the first count bytes of the random stream of seed.
std::string RandomBytes(std::uint32_t seed, std::size_t count) {
  std::mt19937 engine(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(engine() & 0xff);
  return bytes;
}

// Hands the bytes of pieces to sink in blocks of about a megabyte.
template <typename Sink>
void ForEachBlock(const Bytes& pieces, Sink sink) {
  constexpr std::size_t kBlock = 1 << 20;
  for (const Piece& piece : pieces) {
    if (piece.seed != 0) {
      std::mt19937 engine(piece.seed);
      std::string block;
      for (std::uint64_t left = piece.times; left > 0;) {
        block.resize(left < kBlock ? static_cast<std::size_t>(left) : kBlock);
        for (char& byte : block) byte = static_cast<char>(engine() & 0xff);
        left -= block.size();
        sink(block);
      }
      continue;
    }
    if (piece.text.empty()) continue;
    // Whole repeats of the text, a megabyte or so at a time.
    const std::uint64_t perBlock = piece.text.size() >= kBlock ? 1 : kBlock / piece.text.size();
    std::string block;
    for (std::uint64_t i = 0; i < perBlock && i < piece.times; ++i) block += piece.text;
    std::uint64_t left = piece.times;
    for (; left >= perBlock; left -= perBlock) sink(block);
    if (left > 0) sink(block.substr(0, static_cast<std::size_t>(left * piece.text.size())));
  }
}

// Writes bytes to the file at path, created or truncated.
void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  bool ok = true;
  ForEachBlock(bytes, [&](const std::string& block) {
    ok = ok && std::fwrite(block.data(), 1, block.size(), file) == block.size();
  });
  ASSERT_TRUE(std::fclose(file) == 0 && ok) << "cannot write " << path;
}

// Returns text with every byte outside printable ASCII written as \xNN.
std::string Shown(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte < 127) {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    }
  }
  return shown;
}

// Returns an empty string when the file at path holds exactly expected, else
// where and how it first differs.
std::string Difference(const fs::path& path, const Bytes& expected) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "there is no " + path.filename().string();
  std::string difference;
  std::uint64_t offset = 0;
  std::string actual;
  ForEachBlock(expected, [&](const std::string& block) {
    if (!difference.empty()) return;
    actual.resize(block.size());
    actual.resize(std::fread(&actual[0], 1, block.size(), file));
    if (actual != block) {
      std::size_t at = 0;
      while (at < actual.size() && actual[at] == block[at]) ++at;
      difference = "at byte " + std::to_string(offset + at) + " expected \"" +
                   Shown(block.substr(at, 80)) + "\", found \"" + Shown(actual.substr(at, 80)) +
                   "\"";
    }
    offset += block.size();
  });
  char extra[80];
  const std::size_t more = std::fread(extra, 1, sizeof extra, file);
  if (difference.empty() && more > 0) {
    difference = "after the expected " + std::to_string(offset) + " bytes comes \"" +
                 Shown(std::string(extra, more)) + "\"";
  }
  std::fclose(file);
  return difference;
}

// The report of a failed check: its line and its message, in pieces.
Bytes Failure(Check check, Bytes message) {
  Bytes report = {{cases::kFailurePrefix + std::to_string(NumberOf(check)) + "]: "}};
  report.insert(report.end(), message.begin(), message.end());
  report.push_back({"\n-1\n"});
  return report;
}

// Returns the first line of bytes by the text-mode rules (up to the first LF,
// a CR before it dropped, byte 26 ending the input); sets found to false when
// no byte at all stands before the end of the input.
std::string FirstLine(const std::string& bytes, bool& found) {
  const std::size_t end = bytes.find_first_of(std::string("\n\x1a", 2));
  if (end == std::string::npos) throw std::logic_error("the first line runs past the bytes made");
  found = end > 0;
  std::string line = bytes.substr(0, end);
  if (bytes[end] == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// What a case gives the program instead of a file, where it does.
enum class Folder {
  kNone,
  kTestData,    // input.txt is a folder
  kSubmission,  // submission.txt is a folder
  kReport,      // report.txt is a folder
};

// One hostile input: the files it gives the program, the report that the
// file rules give for them, and the bounds that the run must keep.
struct HostileCase {
  std::string name;
  Bytes testData;           // input.txt
  Bytes submission;         // submission.txt
  Folder folder;            // which path names a folder instead
  Bytes report;             // the expected report; with kReport, none may appear
  double seconds;           // bound on the run's CPU time, user and system
  double peakMiB;           // bound on the run's peak resident memory
  int addressSpaceMiB = 0;  // above 0: the most memory the program may map
};

// Sizes and bounds. Memory bounds are the input's share plus kSlackMiB,
// which covers the program itself and its read block.
constexpr std::uint64_t kLongLine = 200000000;  // the long line: 200 MB
constexpr double kLongLineMiB = kLongLine / 1048576.0;
constexpr double kSlackMiB = 8;
constexpr double kQuick = 5;     // CPU seconds for an input of a few megabytes
constexpr double kLongRun = 20;  // CPU seconds for the 200 MB line

#ifdef ZOBNIKARI_SANITIZED
// Sanitizer builds run slower and hold freed memory back on purpose: their
// time bounds are wider, and their memory is shown but not held to a bound.
constexpr double kTimeScale = 5;
constexpr bool kMeasuresMemory = false;
#else
constexpr double kTimeScale = 1;
constexpr bool kMeasuresMemory = true;
#endif

#ifdef ZOBNIKARI_EMULATOR
// A cross-compiled build's figures are the emulator's (tests/program_run.h):
// it runs the program slower, and holds its own code and translations in
// memory besides the program's, which EmulatorMiB measures and the memory
// bounds leave out.
constexpr bool kEmulated = true;
constexpr double kEmulatorTimeScale = 10;
#else
constexpr bool kEmulated = false;
constexpr double kEmulatorTimeScale = 1;
#endif

// Returns the peak memory of the emulator running the program on no
// arguments (the program writes its usage line and ends), in folder: what the
// emulator holds in every run besides the program's own memory. 0 without
// one.
double EmulatorMiB(const fs::path& folder) {
  if (!kEmulated) return 0;
  const ProgramRun run = RunProgram({ZOBNIKARI_PROGRAM}, folder);
  if (!run.measured || run.status != 0) {
    throw std::runtime_error("the program does not run under the emulator");
  }
  return run.peakKiB / 1024.0;
}

// The worked example (n = 4, d = 3, k = 2, m = 1), a submission's header,
// and the example's answer block without its test-case number: 35.
const Bytes kTestData = {{cases::kExampleTestData}};
const std::string kHeader = cases::Submission("");
const std::string kBlock = cases::kExampleSubmission.substr(kHeader.size() + 2);

// Returns every hostile case.
std::vector<HostileCase> Cases() {
  const std::string nines(10000, '9');
  std::vector<HostileCase> cases = {
      // The 200 MB line: read in one growing block, it may cost a copy of
      // itself where a message quotes it, and nothing more anywhere.
      {"long_line_as_contestant_number",
       kTestData,
       {{"x", kLongLine}},
       Folder::kNone,
       Failure(Check::kContestantNumberNotSixBytes,
               {{"stevilka tekmovalca bi morala imeti 6 stevk"}}),
       kLongRun,
       kLongLineMiB + kSlackMiB},
      {"long_line_as_team_of_100000000",
       kTestData,
       {{kHeader}, {"1\n"}, {"1 ", kLongLine / 2}, {"\n"}},
       Folder::kNone,
       Failure(Check::kTeamSizeNotK,
               {{"ekipa za 1. dirko bi morala imeti k = 2 kolesarjev, ne pa 100000000"}}),
       kLongRun,
       kLongLineMiB + kSlackMiB},
      {"long_line_as_case_number_quoted",
       kTestData,
       {{kHeader}, {"x", kLongLine}},
       Folder::kNone,
       Failure(Check::kCaseNumberLineNotInteger,
               {{"v 3. vrstici bi morala biti stevilka testnega primera, ne pa \""},
                {"x", kLongLine},
                {"\""}}),
       kLongRun,
       2 * kLongLineMiB + kSlackMiB},
      {"long_line_as_submission_task_name_quoted",
       kTestData,
       {{"123456\n"}, {"Zobnikari", kLongLine / 9}, {"\n"}},
       Folder::kNone,
       Failure(Check::kSubmissionTaskNameWrong,
               {{"v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \""},
                {"Zobnikari", kLongLine / 9},
                {"\""}}),
       kLongRun,
       2 * kLongLineMiB + kSlackMiB},
      {"long_line_as_test_data_task_name_quoted",
       {{"Zobnikari", kLongLine / 9}, {"\n1\n"}},
       {{kHeader}},
       Folder::kNone,
       Failure(Check::kTaskNameWrong, {{"v prvi vrstici bi moral biti niz \"Zobnikari\", ne pa \""},
                                       {"Zobnikari", kLongLine / 9},
                                       {"\""}}),
       kLongRun,
       2 * kLongLineMiB + kSlackMiB},
      // Where memory truly runs out, reading the line or quoting it, the run
      // ends with the report for unexpected failures, written without
      // allocating. The line's buffer grows to 256 MiB of address space.
      {"long_line_beyond_memory",
       kTestData,
       {{kHeader}, {"x", kLongLine}},
       Folder::kNone,
       {{cases::kUnexpected}},
       kLongRun,
       128,
       128},
      {"long_line_read_but_quoting_it_beyond_memory",
       kTestData,
       {{kHeader}, {"x", kLongLine}},
       Folder::kNone,
       {{cases::kUnexpected}},
       kLongRun,
       320,
       320},
      // A huge announced count costs nothing before its blocks exist.
      {"case_count_2000000000_one_block",
       {{"Zobnikari\n2000000000\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n"}},
       {{kHeader}, {"1\n"}, {kBlock}},
       Folder::kNone,
       Failure(Check::kSeparatorLineMissing, {{"manjka 9. vrstica"}}),
       kQuick,
       kSlackMiB},
      // A million empty lines are skipped one by one and only counted.
      {"million_empty_lines_after_header",
       kTestData,
       {{kHeader}, {"\n", 1000000}},
       Folder::kNone,
       {{"OK\n0\n"}},
       kQuick,
       kSlackMiB},
      {"million_empty_lines_then_text",
       kTestData,
       {{kHeader}, {"\n", 1000000}, {"x\n"}},
       Folder::kNone,
       Failure(Check::kCaseNumberLineNotInteger,
               {{"v 1000003. vrstici bi morala biti stevilka testnega primera, ne pa \"x\""}}),
       kQuick,
       kSlackMiB},
      {"million_empty_lines_after_test_data_header",
       {{"Zobnikari\n1\n"}, {"\n", 1000000}},
       {{kHeader}},
       Folder::kNone,
       Failure(Check::kCaseHeaderNotFiveNumbers,
               {{"v 4. vrstici bi moralo biti pet celih stevil, ne pa \"\""}}),
       kQuick,
       kSlackMiB},
      // Numbers of 10000 digits: a list number fails at its tenth digit,
      // leading zeros never bring one near the limit, header numbers saturate.
      {"ten_thousand_digits_in_team_line",
       kTestData,
       {{kHeader}, {"1\n"}, {nines}, {" 1\n1 2\n2 1\n"}},
       Folder::kNone,
       Failure(Check::kListNumberTooLarge, {{"stevilo 9999999999 je preveliko"}}),
       kQuick,
       kSlackMiB},
      {"ten_thousand_digits_of_leading_zeros_in_team_line",
       kTestData,
       {{kHeader}, {"1\n"}, {"0", 9999}, {"3 1\n1 2\n2 1\n"}},
       Folder::kNone,
       {{"OK\n1\n1 35\n"}},
       kQuick,
       kSlackMiB},
      {"ten_thousand_digits_in_points_line",
       {{"Zobnikari\n1\n\n1 4 3 2 1\n"}, {nines}, {" 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n"}},
       {{kHeader}},
       Folder::kNone,
       Failure(Check::kListNumberTooLarge, {{"stevilo 9999999999 je preveliko"}}),
       kQuick,
       kSlackMiB},
      {"ten_thousand_digits_in_block_header",
       {{"Zobnikari\n1\n\n1 "}, {nines}, {" 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n"}},
       {{kHeader}},
       Folder::kNone,
       Failure(
           Check::kCyclistCountOutOfRange,
           {{"v 4. vrstici bi moralo biti stevilo kolesarjev n od 1 do 1000, ne pa 2147483647"}}),
       kQuick,
       kSlackMiB},
      {"ten_thousand_digits_in_case_number_line",
       kTestData,
       {{kHeader}, {nines}, {"\n"}, {kBlock}},
       Folder::kNone,
       Failure(Check::kCaseNumberUnknown,
               {{"v 3. vrstici se pojavlja neveljavna stevilka testnega primera: 2147483647"}}),
       kQuick,
       kSlackMiB},
      {"ten_thousand_digits_negative_in_case_number_line",
       kTestData,
       {{kHeader}, {"-"}, {nines}, {"\n"}, {kBlock}},
       Folder::kNone,
       Failure(Check::kCaseNumberUnknown,
               {{"v 3. vrstici se pojavlja neveljavna stevilka testnega primera: -2147483648"}}),
       kQuick,
       kSlackMiB},
      // 2^32 + 1 must not wrap round to the valid test case 1.
      {"case_number_4294967297",
       kTestData,
       {{kHeader}, {"4294967297\n"}, {kBlock}},
       Folder::kNone,
       Failure(Check::kCaseNumberUnknown,
               {{"v 3. vrstici se pojavlja neveljavna stevilka testnega primera: 2147483647"}}),
       kQuick,
       kSlackMiB},
      // A folder where a file should be: an input reads as an empty file; a
      // report cannot be written at all (status 2, nothing touched).
      {"test_data_is_a_folder",
       {},
       {{kHeader}},
       Folder::kTestData,
       Failure(Check::kTaskNameMissing, {{"manjka prva vrstica z imenom naloge"}}),
       kQuick,
       kSlackMiB},
      {"submission_is_a_folder",
       kTestData,
       {},
       Folder::kSubmission,
       Failure(Check::kContestantNumberMissing, {{"manjka stevilka tekmovalca"}}),
       kQuick,
       kSlackMiB},
      {"report_is_a_folder", kTestData, {{kHeader}}, Folder::kReport, {}, kQuick, kSlackMiB},
  };

  // Ten megabytes of random bytes: their first line decides the report.
  constexpr std::uint32_t kTestDataSeed = 1;
  constexpr std::uint32_t kSubmissionSeed = 2;
  constexpr std::uint64_t kRandomSize = 10000000;
  bool found = false;
  const std::string line = FirstLine(RandomBytes(kTestDataSeed, 100000), found);
  if (line == "Zobnikari") throw std::logic_error("the random test data begins with the task name");
  cases.push_back(
      {"random_bytes_as_test_data",
       {{"", kRandomSize, kTestDataSeed}},
       {{kHeader}},
       Folder::kNone,
       found
           ? Failure(Check::kTaskNameWrong,
                     {{"v prvi vrstici bi moral biti niz \"Zobnikari\", ne pa \""}, {line}, {"\""}})
           : Failure(Check::kTaskNameMissing, {{"manjka prva vrstica z imenom naloge"}}),
       kQuick,
       kSlackMiB});
  const std::string first = FirstLine(RandomBytes(kSubmissionSeed, 100000), found);
  if (found && first.size() == 6)
    throw std::logic_error("pick a seed whose first line is not 6 bytes");
  cases.push_back({"random_bytes_as_submission",
                   kTestData,
                   {{"", kRandomSize, kSubmissionSeed}},
                   Folder::kNone,
                   found
                       ? Failure(Check::kContestantNumberNotSixBytes,
                                 {{"stevilka tekmovalca bi morala imeti 6 stevk"}})
                       : Failure(Check::kContestantNumberMissing, {{"manjka stevilka tekmovalca"}}),
                   kQuick,
                   kSlackMiB});
  return cases;
}

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, ReportsExactlyWithinItsBounds) {
  const HostileCase& c = GetParam();
  if (c.addressSpaceMiB > 0 && !kMeasuresMemory) {
    GTEST_SKIP() << "a sanitizer build maps far more than the limit for its own bookkeeping";
  }
  if (c.addressSpaceMiB > 0 && kEmulated) {
    GTEST_SKIP() << "the limit would hold the emulator too, which maps 128 MiB for its "
                    "translated code alone";
  }
  const fs::path folder = FreshFolder("hostile", c.name);
  const fs::path testData = folder / "input.txt";
  const fs::path submission = folder / "submission.txt";
  const fs::path report = folder / "report.txt";
  const struct {
    Folder kind;
    const fs::path& path;
    const Bytes& bytes;
  } files[] = {{Folder::kTestData, testData, c.testData},
               {Folder::kSubmission, submission, c.submission},
               {Folder::kReport, report, Bytes()}};
  for (const auto& file : files) {
    if (file.kind == c.folder) {
      fs::create_directory(file.path);
    } else if (file.kind != Folder::kReport) {
      WriteBytes(file.path, file.bytes);
    }
  }

  const ProgramRun run = RunProgram(
      {ZOBNIKARI_PROGRAM, "eval", testData.string(), submission.string(), report.string()}, folder,
      c.addressSpaceMiB);
  ASSERT_TRUE(run.measured) << "cannot run " << ZOBNIKARI_PROGRAM;
  ASSERT_GE(run.status, 0) << "the program was ended by signal " << -run.status;
  EXPECT_EQ(run.out, "");
  if (c.folder == Folder::kReport) {
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Orv19Zobnikari: datoteke s porocilom \"" + report.string() +
                           "\" ni mogoce odpreti za pisanje: Is a directory\n");
    EXPECT_TRUE(fs::is_directory(report) && fs::is_empty(report));
  } else {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Difference(report, c.report), "");
  }

  const double timeScale = kTimeScale * kEmulatorTimeScale;
  const double emulatorMiB = EmulatorMiB(folder);
  const double peakMiB = run.peakKiB / 1024.0 - emulatorMiB;
  std::cout << c.name << ": " << run.cpuSeconds << " s CPU (bound " << c.seconds * timeScale
            << " s; wall " << run.seconds << " s), peak " << peakMiB << " MiB (bound " << c.peakMiB
            << " MiB" << (kMeasuresMemory ? ")" : ", not held: sanitizer build)");
  if (kEmulated) std::cout << ", the emulator's own " << emulatorMiB << " MiB left out";
  std::cout << std::endl;
  EXPECT_LE(run.cpuSeconds, c.seconds * timeScale) << "CPU time (user and system) in seconds";
  if (kMeasuresMemory) {
    EXPECT_LE(peakMiB, c.peakMiB) << "peak resident memory in MiB";
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Hostile, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HostileCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace zobnikari
