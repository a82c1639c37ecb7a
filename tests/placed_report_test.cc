// The place handed back beside a report: which file and which line the
// evaluation was looking at when it failed. Rows name cases of the tables in
// report_cases.h, whose inputs and reports they reuse.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "driver/evaluation.h"
#include "report_cases.h"

namespace zobnikari {
namespace {

using cases::ReportCase;

// Returns the row named name of the table named table.
const ReportCase* FindRow(const std::string& table, const std::string& name) {
  for (const auto& named : cases::kAllTables) {
    if (named.first != table) continue;
    for (const ReportCase& row : *named.second) {
      if (row.name == name) return &row;
    }
  }
  return nullptr;
}

struct PlaceRow {
  const char* table;
  const char* name;
  InputRead file;
  std::int64_t line;
  bool lineMissing;
};

constexpr InputRead kTestData = InputRead::kTestData;
constexpr InputRead kSubmission = InputRead::kSubmission;

TEST(EvaluateInMemoryPlaced, NamesTheFileAndLineOfEveryReader) {
  const PlaceRow rows[] = {
      {"answer_block", "worked_example", InputRead::kNone, 0, false},
      {"reading", "ctrl_z_ends_the_line_and_the_input", InputRead::kNone, 0, false},
      // The test-data file: its header, a block, a list in a block, and the
      // numbering check, made once the block has been read.
      {"test_data_file", "empty_file", kTestData, 1, true},
      {"test_data_file", "task_name_trailing_blank", kTestData, 1, false},
      {"test_data_file", "task_name_without_line_end", kTestData, 2, true},
      {"test_data_file", "huge_count_then_one_block", kTestData, 9, true},
      {"test_data_file", "second_block_numbered_1", kTestData, 14, false},
      {"test_case_block", "header_of_four_numbers", kTestData, 4, false},
      {"reading", "points_minus_sign", kTestData, 5, false},
      {"reading", "race_number_too_large", kTestData, 6, false},
      {"test_case_block", "race_2_missing", kTestData, 7, true},
      {"test_case_block", "finisher_twice", kTestData, 8, false},
      // The submission: the header, the test-case number lines, an answer
      // block, whose messages name races, and a list in it.
      {"submission", "empty_file", kSubmission, 1, true},
      {"submission", "first_line_empty", kSubmission, 1, false},
      {"submission", "one_line", kSubmission, 2, true},
      {"reading", "carriage_return_before_crlf_stays", kSubmission, 2, false},
      {"submission", "case_zero", kSubmission, 3, false},
      {"submission", "answer_and_empty_lines_counted", kSubmission, 7, false},
      {"submission", "quote_percent_and_nul_quoted_whole", kSubmission, 4, false},
      {"reading", "team_comma", kSubmission, 4, false},
      {"answer_block", "worked_example_two_newcomers", kSubmission, 5, false},
      {"answer_block", "block_cut_short", kSubmission, 6, true},
      {"answer_block", "newcomers_before_later_bad_number", kSubmission, 5, false},
  };
  for (const PlaceRow& expected : rows) {
    const std::string label = std::string(expected.table) + "/" + expected.name;
    const ReportCase* row = FindRow(expected.table, expected.name);
    ASSERT_NE(row, nullptr) << "no row " << label;
    const PlacedReport placed = EvaluateInMemoryPlaced(row->testData, row->submission);
    EXPECT_EQ(placed.report, row->report) << label;
    EXPECT_EQ(placed.passed, expected.file == InputRead::kNone) << label;
    EXPECT_EQ(placed.file, expected.file) << label;
    EXPECT_EQ(placed.line, expected.line) << label;
    EXPECT_EQ(placed.lineMissing, expected.lineMissing) << label;
  }
}

TEST(EvaluateInMemoryPlaced, CountsLinesAsTheReaderDoes) {
  // CR LF is one line end, a lone CR is a byte of the line, and a Ctrl-Z ends
  // the input: the submission's fourth line is the one quoted, whatever ends
  // the lines before it.
  const std::string testData = cases::kExampleTestData;
  const PlacedReport crlf = EvaluateInMemoryPlaced(testData, "123456\r\nZobnikari\r\n\r\nx\r\n");
  EXPECT_EQ(crlf.file, InputRead::kSubmission);
  EXPECT_EQ(crlf.line, 4);
  const PlacedReport loneCr = EvaluateInMemoryPlaced(testData, "123456\nZobnikari\n\r\n\rx\n");
  EXPECT_EQ(loneCr.line, 4);
  const PlacedReport ctrlZ =
      EvaluateInMemoryPlaced(testData, "123456\nZobnikari\n1\n3 1\n1 2\x1a\n2 1\n");
  EXPECT_EQ(ctrlZ.line, 6);
  EXPECT_TRUE(ctrlZ.lineMissing);
}

}  // namespace
}  // namespace zobnikari
