// Line reading, header scanning, list parsing and failure texts.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/assertion.h"
#include "common/int_table.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "common/platform.h"
#include "reference_list.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

// Returns every line that reader yields, each followed by "|", and "#" for
// the failed read that ends them.
std::string Lines(LineReader& reader) {
  std::string out;
  std::string_view line = "stale";
  while (reader.NextLine(line)) out += std::string(line) + "|";
  EXPECT_TRUE(line.empty());
  EXPECT_FALSE(reader.NextLine(line)) << "a failed read stays failed";
  return out + "#";
}

// Returns the lines of a file of bytes, read in blocks of blockSize bytes.
std::string Lines(const std::string& bytes, std::size_t blockSize) {
  TempFolder folder;
  const std::string path = folder.Write("in.txt", bytes);
  LineReader reader(InputFile::Open(path, FileRole::kTestData), blockSize);
  return Lines(reader);
}

TEST(LineReader, AppliesTheTextModeRulesWhateverTheBlockSize) {
  const struct {
    std::string bytes;
    std::string lines;
  } cases[] = {
      {"", "#"},
      {"A\r\nB\r\n", "A|B|#"},
      {"A\nB", "A|B|#"},
      {"A\n\nB\n", "A||B|#"},
      {"A\rB\n", "A\rB|#"},
      {"\n", "|#"},
      {"A\r\r\n", "A\r|#"},
      {"A\r", "A\r|#"},
      {"\r\n\r\n", "||#"},
      {"AB\x1a"
       "CD\nEF\n",
       "AB|#"},
      {"\x1a"
       "A\n",
       "#"},
      {"A\n\x1a\n", "A|#"},
      {std::string("A\0B\n\xff\n", 6), std::string("A\0B|\xff|#", 7)},
      {std::string(3000, 'x') + "\r\n" + std::string(5000, 'y'),
       std::string(3000, 'x') + "|" + std::string(5000, 'y') + "|#"},
  };
  for (const auto& c : cases) {
    for (std::size_t blockSize : {1, 2, 3, 4, 5, 7, 64, 1 << 20}) {
      EXPECT_EQ(Lines(c.bytes, blockSize), c.lines) << "block size " << blockSize;
    }
    LineReader inMemory = LineReader::OverBytes(c.bytes);
    EXPECT_EQ(Lines(inMemory), c.lines) << "bytes in memory";
  }
}

TEST(LineReader, KeepsCrLfTogetherAcrossABlockBoundary) {
  // With blocks of 2 bytes, "A\r" fills the first block and "\nB" the second.
  EXPECT_EQ(Lines("A\r\nB", 2), "A|B|#");
  EXPECT_EQ(Lines("AAA\r\nB", 4), "AAA|B|#");
}

TEST(LineReader, ReadsAMissingFileAsEmpty) {
  TempFolder folder;
  LineReader reader(folder.Path("missing.txt"), FileRole::kSubmission);
  std::string_view line;
  EXPECT_FALSE(reader.NextLine(line));
}

TEST(LineReader, ReadsAFileByItsPath) {
  TempFolder folder;
  LineReader reader(folder.Write("in.txt", "one\r\ntwo"), FileRole::kSubmission);
  std::string_view line;
  ASSERT_TRUE(reader.NextLine(line));
  EXPECT_EQ(line, "one");
  ASSERT_TRUE(reader.NextLine(line));
  EXPECT_EQ(line, "two");
  EXPECT_FALSE(reader.NextLine(line));
}

TEST(IntToString, FormatsAsPercentD) {
  EXPECT_EQ(IntToString(0), "0");
  EXPECT_EQ(IntToString(-7), "-7");
  EXPECT_EQ(IntToString(INT32_MAX), "2147483647");
  EXPECT_EQ(IntToString(INT32_MIN), "-2147483648");
  EXPECT_EQ(IntToString(INT64_MIN), "-9223372036854775808");
}

TEST(ThrowAssertion, CarriesMessageFileAndLineWhole) {
  const std::string message("a \"quoted\" 100% \0 byte", 22);
  try {
    ThrowAssertion(message, kSourcePath, Check::kCaseNumberUnknown);
    FAIL() << "ThrowAssertion returned";
  } catch (const EAssertion& failure) {
    EXPECT_EQ(failure.message, message);
    EXPECT_EQ(failure.file, "Orv19Zobnikari.cpp");
    EXPECT_EQ(failure.line, 217);
  }
}

TEST(JoinPieces, JoinsEveryPieceInOrder) {
  EXPECT_EQ(JoinPieces({}), "");
  EXPECT_EQ(JoinPieces({"v ", "", "3", ". vrstici \"", std::string_view("a\0%d", 4), "\""}),
            std::string("v 3. vrstici \"a\0%d\"", 19));
  const std::string line(100000, 'x');
  EXPECT_EQ(JoinPieces({"\"", line, "\""}), "\"" + line + "\"");
}

// Returns ScanInts's count for text and the numbers it stored, as "count:a,b".
std::string Scan(const std::string& text, int count) {
  std::int32_t values[5] = {};
  const int got = ScanInts(text, values, count);
  std::string out = std::to_string(got) + ":";
  for (int i = 0; i < got; ++i) out += (i ? "," : "") + std::to_string(values[i]);
  return out;
}

TEST(ScanInts, ReadsLikePercentD) {
  EXPECT_EQ(Scan(" 12abc", 1), "1:12");
  EXPECT_EQ(Scan("+3", 1), "1:3");
  EXPECT_EQ(Scan("3.5", 1), "1:3");
  EXPECT_EQ(Scan("\t\v-3 primeri", 1), "1:-3");
  EXPECT_EQ(Scan("", 1), "-1:");
  EXPECT_EQ(Scan(" \t ", 1), "-1:");
  EXPECT_EQ(Scan("abc", 1), "0:");
  EXPECT_EQ(Scan("- 3", 1), "0:");
  EXPECT_EQ(Scan(std::string("\0"
                             "1",
                             2),
                 1),
            "0:");
}

TEST(ScanInts, StopsAtTheFirstMisfitAmongSeveral) {
  EXPECT_EQ(Scan("1 5 2 3 1 more", 5), "5:1,5,2,3,1");
  EXPECT_EQ(Scan("1 5 2 3", 5), "4:1,5,2,3");
  EXPECT_EQ(Scan("1 5 x 3 1", 5), "2:1,5");
  EXPECT_EQ(Scan("1,5", 5), "1:1");
  EXPECT_EQ(Scan("1  \t5", 2), "2:1,5");
}

TEST(ScanInts, SaturatesBeyondThe32BitRange) {
  EXPECT_EQ(Scan("2147483647", 1), "1:2147483647");
  EXPECT_EQ(Scan("2147483648", 1), "1:2147483647");
  EXPECT_EQ(Scan("4294967297", 1), "1:2147483647");
  EXPECT_EQ(Scan("-2147483648", 1), "1:-2147483648");
  EXPECT_EQ(Scan("-2147483649", 1), "1:-2147483648");
  EXPECT_EQ(Scan(std::string(10000, '9') + " 7", 2), "2:2147483647,7");
  EXPECT_EQ(Scan(std::string(30, '0') + "42", 1), "1:42");
}

// Returns the numbers that ParseIntList takes from text as "a,b,c", or the
// failure as "line: message".
std::string Parse(const std::string& text) {
  std::vector<std::int32_t> values = {99, 98};
  try {
    const std::size_t count = ParseIntList(text, values);
    EXPECT_EQ(count, values.size());
  } catch (const EAssertion& failure) {
    return std::to_string(failure.line) + ": " + failure.message;
  }
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + std::to_string(values[i]);
  return out;
}

TEST(ParseIntList, TakesDigitsBetweenBlanks) {
  EXPECT_EQ(Parse(""), "");
  EXPECT_EQ(Parse(" \t "), "");
  EXPECT_EQ(Parse("1 2 3"), "1,2,3");
  EXPECT_EQ(Parse("\t007   42 "), "7,42");
  EXPECT_EQ(Parse("0"), "0");
  EXPECT_EQ(Parse("1\v2\f3\r"), "1,2,3");
  EXPECT_EQ(Parse("2147483647"), "2147483647");
  EXPECT_EQ(Parse(std::string(20, '0') + "5"), "5");
  EXPECT_EQ(Parse("1000000000 999999999"), "1000000000,999999999");
}

TEST(ParseIntList, FailsOnTheFirstByteThatIsNeitherBlankNorDigit) {
  EXPECT_EQ(Parse("-1"), "55: namesto stevke se pojavlja znak s kodo 45");
  EXPECT_EQ(Parse("+1"), "55: namesto stevke se pojavlja znak s kodo 43");
  EXPECT_EQ(Parse("1,2"), "55: namesto stevke se pojavlja znak s kodo 44");
  EXPECT_EQ(Parse("12a"), "55: namesto stevke se pojavlja znak s kodo 97");
  EXPECT_EQ(Parse("1 \xff"), "55: namesto stevke se pojavlja znak s kodo 255");
  EXPECT_EQ(Parse("1 \xc4"), "55: namesto stevke se pojavlja znak s kodo 196");
  EXPECT_EQ(Parse(std::string("3\0"
                              "4",
                              3)),
            "55: namesto stevke se pojavlja znak s kodo 0");
  EXPECT_EQ(Parse("a 99999999999"), "55: namesto stevke se pojavlja znak s kodo 97");
}

TEST(ParseIntList, FailsOnEveryOtherByteInsideALongLine) {
  // Long lines are read in wide steps; every byte still meets the checks.
  std::string numbers;
  for (int i = 0; i < 60; ++i) numbers += std::to_string(i * 37 % 1001) + " ";
  for (int code = 0; code < 256; ++code) {
    const bool blank = code == ' ' || (code >= 9 && code <= 13);
    if (blank || (code >= '0' && code <= '9')) continue;
    for (std::size_t at : {std::size_t{3}, std::size_t{70}, numbers.size() - 2}) {
      std::string line = numbers;
      line[at] = static_cast<char>(code);
      EXPECT_EQ(Parse(line), "55: namesto stevke se pojavlja znak s kodo " + std::to_string(code))
          << "byte " << code << " at " << at;
    }
  }
}

TEST(ParseIntList, FailsOnTheFirstDigitThatTakesANumberPastTheLimit) {
  EXPECT_EQ(Parse("2147483648"), "61: stevilo 2147483648 je preveliko");
  EXPECT_EQ(Parse("99999999999"), "61: stevilo 9999999999 je preveliko");
  EXPECT_EQ(Parse("002147483648"), "61: stevilo 2147483648 je preveliko");
  EXPECT_EQ(Parse("21474836470"), "61: stevilo 21474836470 je preveliko");
  EXPECT_EQ(Parse("1 3000000000x"), "61: stevilo 3000000000 je preveliko");
}

TEST(ParseIntList, FailsOnEveryNumberFromOnePastTheLimit) {
  // 2147483648 and 2147483649 pass the limit at a tenth digit above 7;
  // 2147483650 to 2147483657 already have a ninth digit above the limit's.
  // Each fails alone on its line and deep inside a long one.
  std::string ones;
  std::string parsed;
  for (int i = 0; i < 100; ++i) {
    ones += "1 ";
    parsed += "1,";
  }
  EXPECT_EQ(Parse(ones + "2147483647"), parsed + "2147483647");
  for (std::int64_t number = 2147483648; number <= 2147483657; ++number) {
    const std::string text = std::to_string(number);
    EXPECT_EQ(Parse(text), "61: stevilo " + text + " je preveliko");
    EXPECT_EQ(Parse(ones + text + " 1"), "61: stevilo " + text + " je preveliko");
  }
}

// Returns the reference reading of text in the form of Parse: the numbers as
// "a,b,c", or the failure.
std::string ReferenceParse(const std::string& text) {
  const reference::ListOutcome outcome = reference::ParseList(text);
  if (outcome.failed) return std::to_string(outcome.line) + ": " + outcome.message;
  std::string out;
  for (std::size_t i = 0; i < outcome.numbers.size(); ++i)
    out += (i ? "," : "") + std::to_string(outcome.numbers[i]);
  return out;
}

TEST(ParseIntList, AgreesWithTheRulesOnRandomLines) {
  // Bytes drawn mostly from digits and single blanks, as in real lists, with
  // other blanks, junk and long digit runs mixed in.
  const std::string alphabet =
      "0123456789012345678901234567890123456789        \t\r\v\f-+,a/:\x80\xb0\xb9\xff";
  std::mt19937 random(20191208);
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    const int length = static_cast<int>(random() % (round % 2 ? 40 : 400));
    for (int i = 0; i < length; ++i) {
      if (random() % 50 == 0)
        line += std::string(1 + random() % 12, static_cast<char>('0' + random() % 10));
      if (random() % 200 == 0) line += std::string(random() % 80, '0');
      if (round % 5 == 0 && random() % 8 == 0) {
        line += static_cast<char>(random() % 256);
      } else {
        line += alphabet[random() % (round % 3 == 0 ? alphabet.size() : 50)];
      }
    }
    ASSERT_EQ(Parse(line), ReferenceParse(line)) << "line \"" << line << "\"";
  }
}

TEST(ParseIntList, ReadsLongLinesOfOneDigitNumbersWholeAtEveryOffset) {
  // Hundreds of the densest numbers, one digit and one blank each, starting
  // at every offset over a stretch wider than the parser's steps.
  std::string numbers;
  for (int i = 0; i < 300; ++i) numbers += std::to_string(i * 7 % 10) + " ";
  for (std::size_t blanks = 0; blanks < 130; ++blanks) {
    const std::string line = std::string(blanks, ' ') + numbers;
    ASSERT_EQ(Parse(line), ReferenceParse(line)) << blanks << " blanks first";
  }
}

TEST(ParseIntList, KeepsOnlyWhatItIsAskedToButCountsAll) {
  std::vector<std::int32_t> values;
  EXPECT_EQ(ParseIntList("5 6 7 8", values, 2), 4u);
  EXPECT_EQ(values, (std::vector<std::int32_t>{5, 6}));
  // Numbers past the kept ones are still checked.
  EXPECT_THROW(ParseIntList("5 6 7 x", values, 2), EAssertion);
}

TEST(ParseIntList, ReusesTheListStorage) {
  std::vector<std::int32_t> values;
  ParseIntList("1 2 3 4 5 6 7 8", values);
  const std::int32_t* storage = values.data();
  ParseIntList("9 10", values);
  EXPECT_EQ(values.data(), storage);
  ParseIntList("", values);
  EXPECT_TRUE(values.empty());
}

// Returns the rows of table as "a b|c d|".
std::string Rows(const IntTable& table) {
  std::string out;
  for (std::size_t r = 0; r < table.size(); ++r) {
    for (const std::int32_t value : table[r]) out += std::to_string(value) + " ";
    out.back() = '|';
  }
  return out;
}

TEST(IntTable, CopiesEveryNumberAndLeavesNoRowsBehindAMove) {
  IntTable table;
  EXPECT_EQ(Rows(table), "");
  table.Reset(2, 3);
  for (std::int32_t i = 0; i < 6; ++i) table.Row(0)[i] = i + 1;
  IntTable copy = table;
  table.Row(0)[0] = 9;
  EXPECT_EQ(Rows(copy), "1 2 3|4 5 6|") << "a copy has numbers of its own";
  IntTable assigned;
  assigned.Reset(4, 5);
  assigned = copy;
  copy.Row(1)[2] = 7;
  EXPECT_EQ(Rows(assigned), "1 2 3|4 5 6|");

  IntTable moved = std::move(table);
  EXPECT_EQ(Rows(moved), "9 2 3|4 5 6|");
  EXPECT_EQ(table.size(), 0u) << "a table moved from has no rows";
  assigned = std::move(moved);
  EXPECT_EQ(Rows(assigned), "9 2 3|4 5 6|");
  EXPECT_EQ(moved.size(), 0u);
  moved.Reset(1, 2);
  moved.Row(0)[0] = 1;
  moved.Row(0)[1] = 2;
  EXPECT_EQ(Rows(moved), "1 2|") << "a table moved from takes new rows";
}

TEST(IntTable, KeepsALargeEnoughBlockAndItsSlackWritable) {
  IntTable table;
  table.Reset(3, 4);
  const std::int32_t* block = table.Row(0);
  table.Reset(2, 5);
  EXPECT_EQ(table.Row(0), block) << "a block large enough is kept";
  EXPECT_EQ(table.size(), 2u);
  table.Reset(3, 7);
  EXPECT_EQ(table.size(), 3u);
  // The list parser writes up to kListSlack numbers past a row's end: past
  // the last row too (the sanitizer build catches a write outside the block).
  for (std::size_t i = 0; i < 7 + kListSlack; ++i) table.Row(2)[i] = 1;
  EXPECT_EQ(table[2][6], 1);
}

}  // namespace
}  // namespace zobnikari
