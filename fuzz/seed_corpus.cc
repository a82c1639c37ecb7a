// Builds the fuzz targets' seed corpora from the unit tests' tables of whole
// evaluations (tests/report_cases.h) and the end-to-end case folders:
//   zobnikari_seed_corpus <case folders> <corpus folder>
// Every row, and every folder with an input.txt or a submission.txt, gives
// <corpus>/evaluation/<case> (both files joined as that target reads them),
// <corpus>/line_reader/<case>.<file>.<n> (each file under a few block sizes)
// and, for every distinct line of those files, <corpus>/numbers/<n>. The
// corpus folder is made afresh.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/report_cases.h"

namespace fs = std::filesystem;

namespace {

// Returns the bytes of path; sets found to whether it is a readable file.
std::string ReadBytes(const fs::path& path, bool& found) {
  std::error_code error;
  found = fs::is_regular_file(path, error);
  if (!found) return std::string();
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes bytes to path; returns false when they could not all be written.
bool WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: zobnikari_seed_corpus <case folders> <corpus folder>\n", stderr);
    return 1;
  }
  const fs::path cases = argv[1];
  const fs::path corpus = argv[2];
  std::error_code error;
  fs::remove_all(corpus, error);
  for (const char* target : {"evaluation", "line_reader", "numbers"}) {
    fs::create_directories(corpus / target, error);
    if (error) {
      std::fprintf(stderr, "cannot make %s: %s\n", (corpus / target).c_str(),
                   error.message().c_str());
      return 1;
    }
  }

  // Streams in blocks of 1 and 5 bytes, and bytes in memory.
  const std::uint8_t kBlockSelectors[] = {0, 4, 220};
  const std::uint8_t kSourceSelectors[] = {0x00, 0x00, 0x01};
  // Keep all and scan five numbers; keep two and scan one.
  const std::uint8_t kNumberSelectors[] = {0x4f, 0x02};

  // The evaluations: every row of the tables, then every case folder.
  struct Evaluation {
    std::string name;
    std::string testData;
    std::string submission;
  };
  std::vector<Evaluation> evaluations;
  for (const auto& table : zobnikari::cases::kAllTables) {
    for (const zobnikari::cases::ReportCase& row : *table.second)
      evaluations.push_back({table.first + "." + row.name, row.testData, row.submission});
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(cases, error)) {
    if (!entry.is_directory()) continue;
    bool hasTestData = false;
    bool hasSubmission = false;
    Evaluation evaluation{"case." + entry.path().filename().string(),
                          ReadBytes(entry.path() / "input.txt", hasTestData),
                          ReadBytes(entry.path() / "submission.txt", hasSubmission)};
    if (hasTestData || hasSubmission) evaluations.push_back(std::move(evaluation));
  }
  if (error) {
    std::fprintf(stderr, "cannot list %s: %s\n", cases.c_str(), error.message().c_str());
    return 1;
  }

  std::set<std::string> lines;
  std::size_t written = 0;
  bool ok = true;
  for (const Evaluation& evaluation : evaluations) {
    const std::string& name = evaluation.name;
    ok &= WriteBytes(corpus / "evaluation" / name,
                     evaluation.testData + std::string(zobnikari::fuzz::kSubmissionMarker) +
                         evaluation.submission);
    ++written;
    const struct {
      const char* file;
      const std::string& bytes;
    } files[] = {{"input", evaluation.testData}, {"submission", evaluation.submission}};
    for (const auto& file : files) {
      for (int i = 0; i < 3; ++i) {
        std::string seed;
        seed += static_cast<char>(kBlockSelectors[i]);
        seed += static_cast<char>(kSourceSelectors[i]);
        ok &=
            WriteBytes(corpus / "line_reader" / (name + "." + file.file + "." + std::to_string(i)),
                       seed + file.bytes);
        ++written;
      }
      for (std::size_t begin = 0; begin < file.bytes.size();) {
        std::size_t end = file.bytes.find('\n', begin);
        if (end == std::string::npos) end = file.bytes.size();
        lines.insert(file.bytes.substr(begin, end - begin));
        begin = end + 1;
      }
    }
  }
  std::size_t number = 0;
  for (const std::string& line : lines) {
    const std::uint8_t selector = kNumberSelectors[number % 2];
    ok &= WriteBytes(corpus / "numbers" / std::to_string(number++),
                     std::string(1, static_cast<char>(selector)) + line);
    ++written;
  }
  if (!ok) {
    std::fprintf(stderr, "cannot write the seeds under %s\n", corpus.c_str());
    return 1;
  }
  std::printf("%zu seeds written under %s\n", written, corpus.c_str());
  return 0;
}
