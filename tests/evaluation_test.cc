// Whole evaluation runs on inputs too large to keep as case folders.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "driver/evaluation.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

// Returns the report at path read in text mode, so that it compares the same
// on every platform.
std::string ReadReport(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path));
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RunEvaluation, ScoresTheLargestTotalWithoutOverflow) {
  // n = d = 1000, k = 999, every place worth 1000, the same team in every
  // race: 1000 races of 999 members at 1000 points each.
  std::string testData = "Zobnikari\n1\n\n1 1000 1000 999 1\n";
  std::string order;
  for (int x = 1; x <= 1000; ++x) {
    testData += x < 1000 ? "1000 " : "1000\n";
    order += std::to_string(1001 - x) + (x < 1000 ? " " : "\n");
  }
  std::string team;
  for (int x = 1; x <= 999; ++x) team += std::to_string(x) + (x < 999 ? " " : "\n");
  std::string submission = "000001\nZobnikari\n1\n";
  for (int j = 0; j < 1000; ++j) {
    testData += order;
    submission += team;
  }
  TempFolder folder;
  const int status =
      RunEvaluation({"Orv19Zobnikari", "eval", folder.Write("input.txt", testData),
                     folder.Write("submission.txt", submission), folder.Path("report.txt")});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadReport(folder.Path("report.txt")), "OK\n1\n1 999000000\n");
}

}  // namespace
}  // namespace zobnikari
