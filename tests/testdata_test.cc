// Reading test-case blocks and whole test-data files.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/assertion.h"
#include "common/line_reader.h"
#include "testdata/test_data.h"

namespace zobnikari {
namespace {

// The finishing order of race j (1-based) in the generated test data: place
// i (0-based) goes to cyclist (7i + j) mod n + 1, a permutation since 7 and n
// share no factor.
std::int32_t Finisher(std::int32_t n, std::int32_t j, std::int32_t i) {
  return (7 * i + j) % n + 1;
}

// Returns a test-data file of cases blocks, each with n = d = size, k = size / 2,
// m = size / 4 and points t_p = size - p.
std::string GeneratedTestData(std::int32_t cases, std::int32_t size) {
  std::string text = "Zobnikari\n" + std::to_string(cases) + "\n";
  for (std::int32_t id = 1; id <= cases; ++id) {
    text += "\n" + std::to_string(id) + " " + std::to_string(size) + " " + std::to_string(size) +
            " " + std::to_string(size / 2) + " " + std::to_string(size / 4) + "\n";
    for (std::int32_t p = 1; p <= size; ++p)
      text += std::to_string(size - p) + (p < size ? " " : "\n");
    for (std::int32_t j = 1; j <= size; ++j) {
      for (std::int32_t i = 0; i < size; ++i)
        text += std::to_string(Finisher(size, j, i)) + (i + 1 < size ? " " : "\n");
    }
  }
  return text;
}

TEST(ReadTestData, LoadsTenLargestBlocks) {
  const std::int32_t size = 1000;
  const std::string text = GeneratedTestData(10, size);
  LineReader input = LineReader::OverBytes(text);
  std::vector<TestCase> testCases;
  ReadTestData(input, testCases);
  ASSERT_EQ(testCases.size(), 10u);
  for (std::int32_t id = 1; id <= 10; ++id) {
    const TestCase& record = testCases[id - 1];
    EXPECT_EQ(record.taskName, "Zobnikari");
    EXPECT_EQ(record.id, id);
    EXPECT_EQ(record.n, size);
    EXPECT_EQ(record.k, size / 2);
    EXPECT_EQ(record.m, size / 4);
    EXPECT_EQ(record.d, size);
    ASSERT_EQ(record.t.size(), 1000u);
    for (std::int32_t p = 1; p <= size; ++p) ASSERT_EQ(record.t[p - 1], size - p);
    ASSERT_EQ(record.rankings.size(), 1000u);
    for (std::int32_t j = 1; j <= size; ++j) {
      ASSERT_EQ(record.rankings[j - 1].size(), 1000u);
      for (std::int32_t i = 0; i < size; ++i)
        ASSERT_EQ(record.rankings[j - 1][i], Finisher(size, j, i));
    }
  }
}

TEST(ReadTestData, KeepsOnlyTheAnnouncedBlocks) {
  std::string text = GeneratedTestData(3, 8);
  text.replace(text.find('3'), 1, "2");  // the case count
  LineReader input = LineReader::OverBytes(text);
  std::vector<TestCase> testCases(5);
  ReadTestData(input, testCases);
  EXPECT_EQ(testCases.size(), 2u);
}

TEST(ReadTestCase, CountsTheLinesOfItsBlock) {
  LineReader input =
      LineReader::OverBytes("\n7 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\nrest\n");
  TestCase record;
  std::int64_t lineNumber = 2;
  record.ReadTestCase(input, lineNumber, "name");
  EXPECT_EQ(lineNumber, 8);
  EXPECT_EQ(record.taskName, "name");
  EXPECT_EQ(record.id, 7);
  EXPECT_EQ(record.t, (std::vector<std::int32_t>{10, 6, 3, 0}));
  ASSERT_EQ(record.rankings.size(), 3u);
  const IntRow lastRace = record.rankings[2];
  EXPECT_EQ(std::vector<std::int32_t>(lastRace.begin(), lastRace.end()),
            (std::vector<std::int32_t>{4, 3, 2, 1}));
  // A record is a value: a copy keeps its own finishing orders.
  const TestCase copy = record;
  record.rankings.Row(0)[0] = 99;
  EXPECT_EQ(copy.rankings[0][0], 3);
  EXPECT_EQ(copy.rankings[2][3], 1);
  std::string_view line;
  ASSERT_TRUE(input.NextLine(line));
  EXPECT_EQ(line, "rest") << "the block's lines, and no more, are consumed";
}

TEST(ReadTestCase, StoresHeaderFieldsBeforeTheirChecks) {
  // Each field as it is read: all five before the range checks fail (m), and
  // the four that a short header holds before the count check fails.
  const struct {
    const char* block;
    const char* fields;  // id n d k m
  } cases[] = {{"\n3 5 2 3 3\n", "3 5 2 3 3"}, {"\n3 5 2 4\n", "3 5 2 4 0"}};
  for (const auto& c : cases) {
    LineReader input = LineReader::OverBytes(c.block);
    TestCase record;
    std::int64_t lineNumber = 10;
    EXPECT_THROW(record.ReadTestCase(input, lineNumber, "name"), EAssertion);
    EXPECT_EQ(lineNumber, 12);
    EXPECT_EQ(std::to_string(record.id) + " " + std::to_string(record.n) + " " +
                  std::to_string(record.d) + " " + std::to_string(record.k) + " " +
                  std::to_string(record.m),
              c.fields)
        << c.block;
  }
}

}  // namespace
}  // namespace zobnikari
