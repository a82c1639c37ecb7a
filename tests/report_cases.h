// Whole evaluations as tables: each row a named case, a test data and a
// submission as text, and the exact report that the evaluation must write.
// One table per reader of the program; the unit tests run every row in memory
// (tests/report_test.cc), and the fuzz targets start from them as seeds.
#ifndef ZOBNIKARI_TESTS_REPORT_CASES_H_
#define ZOBNIKARI_TESTS_REPORT_CASES_H_

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/checks.h"

namespace zobnikari {
namespace cases {

using namespace std::string_literals;

struct ReportCase {
  std::string name;
  std::string testData;
  std::string submission;
  std::string report;
};

// The program's texts, written once for every test: the start of a
// failure's report (the check's number follows), the report for unexpected
// failures, and the start of a line on standard error that tells of a fault
// of the machine.
inline const std::string kFailurePrefix = "Napaka [Orv19Zobnikari.cpp:";
inline const std::string kUnexpected =
    "Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n";
inline const std::string kMachineLine = "Orv19Zobnikari: napaka racunalnika: ";

// Returns the report of a failure of check with message.
inline std::string Failure(Check check, std::string_view message) {
  return kFailurePrefix + std::to_string(NumberOf(check)) + "]: " + std::string(message) + "\n-1\n";
}

// Returns the OK report of entries, each "<test-case number> <score>".
inline std::string Ok(std::initializer_list<std::string_view> entries) {
  std::string report = "OK\n" + std::to_string(entries.size()) + "\n";
  for (std::string_view entry : entries) report += std::string(entry) + "\n";
  return report;
}

// The worked example's test case: n = 4, d = 3, k = 2, m = 1, points 10 6 3 0.
inline const std::string kExampleBlock = "\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n1 2 3 4\n4 3 2 1\n";
inline const std::string kExampleTestData = "Zobnikari\n1\n" + kExampleBlock;
// Its answer, worth 16 + 16 + 3 = 35.
inline const std::string kExampleSubmission = "123456\nZobnikari\n1\n3 1\n1 2\n2 1\n";
// The example and a second test case: n = 6, d = 4, k = 3, m = 2.
inline const std::string kTwoCases = "Zobnikari\n2\n" + kExampleBlock +
                                     "\n2 6 4 3 2\n9 7 5 3 1 0\n1 2 3 4 5 6\n6 5 4 3 2 1\n"
                                     "2 4 6 1 3 5\n5 3 1 6 4 2\n";
// An answer to the second test case, worth 62.
inline const std::string kSecondAnswer = "2\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n";

// Returns a test data of one block: the example's lines, with the header,
// the points line and the race lines as given.
inline std::string OneBlock(std::string_view header, std::string_view points = "10 6 3 0",
                            std::string_view races = "3 1 4 2\n1 2 3 4\n4 3 2 1\n") {
  return "Zobnikari\n1\n\n" + std::string(header) + "\n" + std::string(points) + "\n" +
         std::string(races);
}

// Returns a submission: the contestant number, the task name, then lines.
inline std::string Submission(std::string_view lines) {
  return "123456\nZobnikari\n" + std::string(lines);
}

// Returns the numbers from first to last (upwards or downwards), between
// single blanks.
inline std::string Run(int first, int last) {
  std::string text = std::to_string(first);
  for (int x = first; x != last;) {
    x += first < last ? 1 : -1;
    text += " " + std::to_string(x);
  }
  return text;
}

// A points line of 150 one-digit numbers, never rising.
inline std::string OneDigitPoints() {
  std::string text;
  for (const auto& [digit, count] : std::initializer_list<std::pair<char, int>>{{'9', 7},
                                                                                {'8', 23},
                                                                                {'7', 11},
                                                                                {'6', 19},
                                                                                {'5', 13},
                                                                                {'4', 17},
                                                                                {'3', 29},
                                                                                {'2', 5},
                                                                                {'1', 15},
                                                                                {'0', 11}}) {
    for (int i = 0; i < count; ++i) text += text.empty() ? ""s + digit : " "s + digit;
  }
  return text;
}

// Line reading and lists of numbers, in either file: what makes a line, and
// the two failures of a list.
inline const std::vector<ReportCase> kReadingCases = {
    {"points_minus_sign", OneBlock("1 4 3 2 1", "10 6 3 -1"), kExampleSubmission,
     Failure(Check::kListByteNotDigit, "namesto stevke se pojavlja znak s kodo 45")},
    {"team_minus_sign", kExampleTestData, Submission("1\n-1 2\n"),
     Failure(Check::kListByteNotDigit, "namesto stevke se pojavlja znak s kodo 45")},
    {"team_comma", kExampleTestData, Submission("1\n3,1\n"),
     Failure(Check::kListByteNotDigit, "namesto stevke se pojavlja znak s kodo 44")},
    {"team_colon_is_no_digit", kExampleTestData, Submission("1\n3:1\n"),
     Failure(Check::kListByteNotDigit, "namesto stevke se pojavlja znak s kodo 58")},
    {"race_number_too_large", OneBlock("1 4 3 2 1", "10 6 3 0", "3 1 4 99999999999\n"),
     kExampleSubmission, Failure(Check::kListNumberTooLarge, "stevilo 9999999999 je preveliko")},
    {"team_number_too_large_after_zeros", kExampleTestData, Submission("1\n002147483648 1\n"),
     Failure(Check::kListNumberTooLarge, "stevilo 2147483648 je preveliko")},
    {"lines_of_150_one_digit_numbers",
     OneBlock("1 150 2 75 75", OneDigitPoints(), Run(1, 150) + "\n" + Run(150, 1) + "\n"),
     Submission("1\n" + Run(1, 75) + "\n" + Run(1, 75) + "\n1\n" + Run(1, 75) + "\n" +
                Run(76, 150) + "\n"),
     Ok({"1 683", "1 1022"})},
    {"ctrl_z_ends_the_line_and_the_input", kExampleTestData,
     Submission("1\n3 1\n1 2\n2 1\x1a"
                "5\n"),
     Ok({"1 35"})},
    {"lone_carriage_return_is_part_of_the_line", kExampleTestData, "123456\nZobnikari\r",
     Failure(Check::kSubmissionTaskNameWrong,
             "v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"Zobnikari\r\"")},
    {"carriage_return_before_crlf_stays", kExampleTestData,
     "123456\r\nZobnikari\r\r\n1\r\n3 1\r\n1 2\r\n2 1\r\n",
     Failure(Check::kSubmissionTaskNameWrong,
             "v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"Zobnikari\r\"")},
    {"last_line_of_one_without_line_end", kExampleTestData, "123456",
     Failure(Check::kSubmissionTaskNameMissing, "manjka druga vrstica")},
};

// The test-data file: its task name, its case count, and the numbering and
// number of its blocks.
inline const std::vector<ReportCase> kTestDataFileCases = {
    {"empty_file", "", kExampleSubmission,
     Failure(Check::kTaskNameMissing, "manjka prva vrstica z imenom naloge")},
    {"byte_order_mark", "\xef\xbb\xbf" + kExampleTestData, kExampleSubmission,
     Failure(Check::kTaskNameWrong,
             "v prvi vrstici bi moral biti niz \"Zobnikari\", ne pa \"\xef\xbb\xbfZobnikari\"")},
    {"task_name_trailing_blank", "Zobnikari \n1\n" + kExampleBlock, kExampleSubmission,
     Failure(Check::kTaskNameWrong,
             "v prvi vrstici bi moral biti niz \"Zobnikari\", ne pa \"Zobnikari \"")},
    {"task_name_only", "Zobnikari\n", kExampleSubmission,
     Failure(Check::kCaseCountMissing, "manjka druga vrstica s stevilom testnih primerov")},
    {"task_name_without_line_end", "Zobnikari", kExampleSubmission,
     Failure(Check::kCaseCountMissing, "manjka druga vrstica s stevilom testnih primerov")},
    {"empty_count", "Zobnikari\n\n" + kExampleBlock, kExampleSubmission,
     Failure(Check::kCaseCountNotPositive,
             "v drugi vrstici bi moralo biti stevilo testnih primerov, ne pa \"\"")},
    {"zero_count", "Zobnikari\n0\n" + kExampleBlock, kExampleSubmission,
     Failure(Check::kCaseCountNotPositive,
             "v drugi vrstici bi moralo biti stevilo testnih primerov, ne pa \"0\"")},
    {"negative_count", "Zobnikari\n-2\n" + kExampleBlock, kExampleSubmission,
     Failure(Check::kCaseCountNotPositive,
             "v drugi vrstici bi moralo biti stevilo testnih primerov, ne pa \"-2\"")},
    {"count_then_second_number", "Zobnikari\n1 2\n" + kExampleBlock, kExampleSubmission,
     Ok({"1 35"})},
    {"huge_count_then_one_block", "Zobnikari\n2000000000\n" + kExampleBlock, kExampleSubmission,
     Failure(Check::kSeparatorLineMissing, "manjka 9. vrstica")},
    {"first_block_numbered_5", OneBlock("5 4 3 2 1"), kExampleSubmission,
     Failure(Check::kCaseNumberOutOfOrder,
             "v vrsticah 2..8 bi moral biti testni primer stevilka 1, ne pa 5")},
    {"second_block_numbered_1", "Zobnikari\n2\n" + kExampleBlock + kExampleBlock,
     kExampleSubmission,
     Failure(Check::kCaseNumberOutOfOrder,
             "v vrsticah 8..14 bi moral biti testni primer stevilka 2, ne pa 1")},
    {"blocks_after_the_count_never_read", kExampleTestData + "\nnot a block at all\n",
     Submission("1\n3 1\n1 2\n2 1\n2\n"),
     Failure(Check::kCaseNumberUnknown,
             "v 7. vrstici se pojavlja neveljavna stevilka testnega primera: 2")},
};

// One test-case block: its separator, its header and the ranges of n, d, k
// and m, its points, and its finishing orders.
inline const std::vector<ReportCase> kTestCaseBlockCases = {
    {"smallest_valid_block", "Zobnikari\n1\n\n1 2 1 1 1\n3 0\n2 1\n", Submission("1\n2\n"),
     Ok({"1 3"})},
    {"separator_holds_blank", "Zobnikari\n1\n " + kExampleBlock, kExampleSubmission,
     Failure(Check::kSeparatorLineNotEmpty, "vrstica 3 bi morala biti prazna, ne pa \" \"")},
    {"header_missing", "Zobnikari\n1\n\n", kExampleSubmission,
     Failure(Check::kCaseHeaderMissing, "manjka 4. vrstica")},
    {"header_of_four_numbers", OneBlock("1 4 3 2"), kExampleSubmission,
     Failure(Check::kCaseHeaderNotFiveNumbers,
             "v 4. vrstici bi moralo biti pet celih stevil, ne pa \"1 4 3 2\"")},
    {"header_letter_among_numbers", OneBlock("1 4 x 2 1"), kExampleSubmission,
     Failure(Check::kCaseHeaderNotFiveNumbers,
             "v 4. vrstici bi moralo biti pet celih stevil, ne pa \"1 4 x 2 1\"")},
    {"header_trailing_text_ignored", OneBlock("1 4 3 2 1 and more"), kExampleSubmission,
     Ok({"1 35"})},
    {"header_sixth_number_ignored", OneBlock("1 4 3 2 1 9"), kExampleSubmission, Ok({"1 35"})},
    {"header_colon_ends_number", OneBlock("1 4 3 2 1:"), kExampleSubmission, Ok({"1 35"})},
    {"n_zero", OneBlock("1 0 3 2 1"), kExampleSubmission,
     Failure(Check::kCyclistCountOutOfRange,
             "v 4. vrstici bi moralo biti stevilo kolesarjev n od 1 do 1000, ne pa 0")},
    {"n_above_1000", OneBlock("1 1001 3 2 1"), kExampleSubmission,
     Failure(Check::kCyclistCountOutOfRange,
             "v 4. vrstici bi moralo biti stevilo kolesarjev n od 1 do 1000, ne pa 1001")},
    {"n_beyond_32_bits", OneBlock("1 99999999999999999999 3 2 1"), kExampleSubmission,
     Failure(Check::kCyclistCountOutOfRange,
             "v 4. vrstici bi moralo biti stevilo kolesarjev n od 1 do 1000, ne pa 2147483647")},
    {"n_before_d", OneBlock("1 0 0 2 1"), kExampleSubmission,
     Failure(Check::kCyclistCountOutOfRange,
             "v 4. vrstici bi moralo biti stevilo kolesarjev n od 1 do 1000, ne pa 0")},
    {"d_zero", OneBlock("1 4 0 2 1"), kExampleSubmission,
     Failure(Check::kRaceCountOutOfRange,
             "v 4. vrstici bi moralo biti stevilo dirk d od 1 do 1000, ne pa 0")},
    {"k_zero", OneBlock("1 4 3 0 1"), kExampleSubmission,
     Failure(Check::kTeamSizeOutOfRange,
             "v 4. vrstici bi morala biti velikost ekipe k od 1 do n = 4, ne pa 0")},
    {"k_negative", OneBlock("1 4 3 -2 1"), kExampleSubmission,
     Failure(Check::kTeamSizeOutOfRange,
             "v 4. vrstici bi morala biti velikost ekipe k od 1 do n = 4, ne pa -2")},
    {"m_zero", OneBlock("1 4 3 2 0"), kExampleSubmission,
     Failure(Check::kNewcomerLimitOutOfRange,
             "v 4. vrstici bi morala biti velikost menjave m od 1 do min(k, n-k) = 2, ne pa 0")},
    {"m_above_n_minus_k", OneBlock("1 4 3 3 2"), kExampleSubmission,
     Failure(Check::kNewcomerLimitOutOfRange,
             "v 4. vrstici bi morala biti velikost menjave m od 1 do min(k, n-k) = 1, ne pa 2")},
    {"k_equals_n", OneBlock("1 4 3 4 1"), kExampleSubmission,
     Failure(Check::kNewcomerLimitOutOfRange,
             "v 4. vrstici bi morala biti velikost menjave m od 1 do min(k, n-k) = 0, ne pa 1")},
    {"n_one", OneBlock("1 1 3 1 1", "10", "1\n1\n1\n"), Submission("1\n1\n1\n1\n"),
     Failure(Check::kNewcomerLimitOutOfRange,
             "v 4. vrstici bi morala biti velikost menjave m od 1 do min(k, n-k) = 0, ne pa 1")},
    {"points_missing", "Zobnikari\n1\n\n1 4 3 2 1\n", kExampleSubmission,
     Failure(Check::kPointsLineMissing, "manjka vrstica s tockami po mestih")},
    {"points_line_empty", OneBlock("1 4 3 2 1", ""), kExampleSubmission,
     Failure(Check::kPointsCountNotN, "v 5. vrstici bi moralo biti 4 stevil s tockami, ne pa 0")},
    {"three_points_for_four", OneBlock("1 4 3 2 1", "10 6 3"), kExampleSubmission,
     Failure(Check::kPointsCountNotN, "v 5. vrstici bi moralo biti 4 stevil s tockami, ne pa 3")},
    {"first_place_above_1000", OneBlock("1 4 3 2 1", "1001 6 3 0"), kExampleSubmission,
     Failure(Check::kPointsOutOfRange,
             "v 5. vrstici je t_1 = 1001, moralo pa bi biti od 0 do 1000")},
    {"range_before_order", OneBlock("1 4 3 2 1", "10 6 3 2000"), kExampleSubmission,
     Failure(Check::kPointsOutOfRange,
             "v 5. vrstici je t_4 = 2000, moralo pa bi biti od 0 do 1000")},
    {"first_two_places_rise", OneBlock("1 4 3 2 1", "5 6 3 0"), kExampleSubmission,
     Failure(Check::kPointsRise, "v 5. vrstici je t_1 = 5 in  t_2 = 6, zaporedje ni nepadajoce")},
    {"last_two_places_rise", OneBlock("1 4 3 2 1", "10 6 3 5"), kExampleSubmission,
     Failure(Check::kPointsRise, "v 5. vrstici je t_3 = 3 in  t_4 = 5, zaporedje ni nepadajoce")},
    {"race_2_missing", "Zobnikari\n1\n\n1 4 3 2 1\n10 6 3 0\n3 1 4 2\n", kExampleSubmission,
     Failure(Check::kRaceLineMissing, "manjka vrstica za 2. dirko")},
    {"five_finishers_of_four", OneBlock("1 4 3 2 1", "10 6 3 0", "3 1 4 2\n1 2 3 4 9\n4 3 2 1\n"),
     kExampleSubmission,
     Failure(Check::kRaceLineCountNotN,
             "v 7. vrstici bi morale biti uvrstitve n = 4 kolesarjev, ne pa 5")},
    {"finisher_above_n", OneBlock("1 4 3 2 1", "10 6 3 0", "3 1 5 2\n1 2 3 4\n4 3 2 1\n"),
     kExampleSubmission,
     Failure(
         Check::kFinisherOutOfRange,
         "v 6. vrstici se pojavlja neveljavna stevilka kolesarja 5, morala bi biti od 1 do n = 4")},
    {"finisher_zero", OneBlock("1 4 3 2 1", "10 6 3 0", "3 1 4 2\n0 1 2 3\n4 3 2 1\n"),
     kExampleSubmission,
     Failure(
         Check::kFinisherOutOfRange,
         "v 7. vrstici se pojavlja neveljavna stevilka kolesarja 0, morala bi biti od 1 do n = 4")},
    {"finisher_twice", OneBlock("1 4 3 2 1", "10 6 3 0", "3 1 4 2\n1 2 3 4\n4 3 4 9\n"),
     kExampleSubmission,
     Failure(Check::kFinisherTwice,
             "v 8. vrstici se stevilka kolesarja 4 pojavlja vec kot enkrat")},
};

// An answer block: its lines, its teams, its newcomers and its score.
inline const std::vector<ReportCase> kAnswerBlockCases = {
    {"worked_example", kExampleTestData, kExampleSubmission, Ok({"1 35"})},
    {"order_on_lines_does_not_matter", kExampleTestData, Submission("1\n1 3\n2 1\n1  2\n"),
     Ok({"1 35"})},
    {"same_team_every_race", kExampleTestData, Submission("1\n4 2\n2 4\n4 2\n"), Ok({"1 22"})},
    {"exactly_m_newcomers", kTwoCases, Submission(kSecondAnswer), Ok({"2 62"})},
    {"returning_cyclist_accepted", kTwoCases, Submission("2\n1 2 3\n1 2 4\n3 5 1\n5 1 3\n"),
     Ok({"2 52"})},
    {"answers_twice_and_out_of_order", kTwoCases,
     Submission(kSecondAnswer + "1\n3 1\n1 2\n2 1\n" + kSecondAnswer),
     Ok({"2 62", "1 35", "2 62"})},
    {"block_cut_short", kExampleTestData, Submission("1\n3 1\n1 2\n"),
     Failure(Check::kTeamLineMissing, "manjka vrstica z ekipo za 3. dirko")},
    {"cut_short_after_accepted_blocks", kTwoCases,
     Submission(kSecondAnswer + "1\n3 1\n1 2\n2 1\n2\n1 2 3"),
     Failure(Check::kTeamLineMissing, "manjka vrstica z ekipo za 2. dirko")},
    {"surplus_line_read_as_case_number", kExampleTestData, kExampleSubmission + "1 2\n",
     Failure(Check::kTeamLineMissing, "manjka vrstica z ekipo za 1. dirko")},
    {"blank_line_before_block", kExampleTestData, Submission("1\n\n3 1\n1 2\n2 1\n"),
     Failure(Check::kTeamSizeNotK, "ekipa za 1. dirko bi morala imeti k = 2 kolesarjev, ne pa 0")},
    {"blank_line_inside_block", kExampleTestData, Submission("1\n3 1\n\n2 1\n"),
     Failure(Check::kTeamSizeNotK, "ekipa za 2. dirko bi morala imeti k = 2 kolesarjev, ne pa 0")},
    {"count_before_repeat", kExampleTestData, Submission("1\n1 1 5\n"),
     Failure(Check::kTeamSizeNotK, "ekipa za 1. dirko bi morala imeti k = 2 kolesarjev, ne pa 3")},
    {"cyclist_zero", kExampleTestData, Submission("1\n0 1\n"),
     Failure(Check::kTeamMemberOutOfRange,
             "v ekipi za 1. dirko je kolesar 0, moral bi biti od 1 do n = 4")},
    {"leading_zeros_dropped", kExampleTestData, Submission("1\n3 1\n1 0005\n"),
     Failure(Check::kTeamMemberOutOfRange,
             "v ekipi za 2. dirko je kolesar 5, moral bi biti od 1 do n = 4")},
    {"cyclist_twice", kExampleTestData, Submission("1\n2 2\n"),
     Failure(Check::kTeamMemberTwice, "v ekipi za 1. dirko se kolesar 2 pojavlja vec kot enkrat")},
    {"repeat_before_later_range", kTwoCases, Submission("2\n1 1 9\n"),
     Failure(Check::kTeamMemberTwice, "v ekipi za 1. dirko se kolesar 1 pojavlja vec kot enkrat")},
    {"worked_example_two_newcomers", kExampleTestData, Submission("1\n3 1\n2 4\n2 1\n"),
     Failure(Check::kTooManyNewcomers,
             "med 1. in 2. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1")},
    {"m_plus_one_newcomers", kTwoCases, Submission("2\n1 2 3\n4 5 6\n6 2 4\n4 2 6\n"),
     Failure(Check::kTooManyNewcomers,
             "med 1. in 2. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2")},
    {"newcomers_before_later_bad_number", kTwoCases, Submission("2\n1 2 3\n4 5 6\n1 2 99\n"),
     Failure(Check::kTooManyNewcomers,
             "med 1. in 2. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2")},
    {"returning_cyclist_is_newcomer", kTwoCases, Submission("2\n1 2 3\n1 2 4\n3 5 6\n3 5 6\n"),
     Failure(Check::kTooManyNewcomers,
             "med 2. in 3. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2")},
};

// The submission's header and its test-case number lines.
inline const std::vector<ReportCase> kSubmissionCases = {
    {"empty_file", kExampleTestData, "",
     Failure(Check::kContestantNumberMissing, "manjka stevilka tekmovalca")},
    {"first_line_empty", kExampleTestData, "\nZobnikari\n1\n3 1\n1 2\n2 1\n",
     Failure(Check::kContestantNumberNotSixBytes, "stevilka tekmovalca bi morala imeti 6 stevk")},
    {"five_digits", kExampleTestData, "12345\nZobnikari\n",
     Failure(Check::kContestantNumberNotSixBytes, "stevilka tekmovalca bi morala imeti 6 stevk")},
    {"seven_digits", kExampleTestData, "1234567\nZobnikari\n",
     Failure(Check::kContestantNumberNotSixBytes, "stevilka tekmovalca bi morala imeti 6 stevk")},
    {"six_letters", kExampleTestData, "abcdef\nZobnikari\n",
     Failure(Check::kContestantNumberNotInteger,
             "v prvi vrstici bi morala biti stevilka tekmovalca, ne pa \"abcdef\"")},
    {"blanks_and_sign", kExampleTestData, "  -  1\nZobnikari\n",
     Failure(Check::kContestantNumberNotInteger,
             "v prvi vrstici bi morala biti stevilka tekmovalca, ne pa \"  -  1\"")},
    {"blank_then_five_digits", kExampleTestData, " 12345\nZobnikari\n1\n3 1\n1 2\n2 1\n",
     Ok({"1 35"})},
    {"five_digits_then_letter", kExampleTestData, "12345x\nZobnikari\n1\n3 1\n1 2\n2 1\n",
     Ok({"1 35"})},
    {"minus_then_five_digits", kExampleTestData, "-12345\nZobnikari\n1\n3 1\n1 2\n2 1\n",
     Ok({"1 35"})},
    {"two_numbers", kExampleTestData, "12 345\nZobnikari\n1\n3 1\n1 2\n2 1\n", Ok({"1 35"})},
    {"one_line", kExampleTestData, "123456\n",
     Failure(Check::kSubmissionTaskNameMissing, "manjka druga vrstica")},
    {"empty_second_line", kExampleTestData, "123456\n\n1\n",
     Failure(Check::kSubmissionTaskNameWrong,
             "v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"\"")},
    {"task_name_letter_case", kExampleTestData, "123456\nzobnikari\n",
     Failure(Check::kSubmissionTaskNameWrong,
             "v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"zobnikari\"")},
    {"task_name_trailing_blank", kExampleTestData, "123456\nZobnikari \n",
     Failure(Check::kSubmissionTaskNameWrong,
             "v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"Zobnikari \"")},
    {"header_only", kExampleTestData, Submission(""), Ok({})},
    {"header_then_empty_lines", kExampleTestData, Submission("\n\n\n"), Ok({})},
    {"number_with_sign_blanks_and_text", kTwoCases,
     Submission(
         "+1\n3 1\n1 2\n2 1\n  2 primer\n1 2 3\n1 5 6\n6 2 4\n4 2 6\n\t1.5\n3 1\n1 2\n2 1\n"),
     Ok({"1 35", "2 62", "1 35"})},
    {"blank_line_between_blocks", kExampleTestData,
     kExampleSubmission + "  \t \n1\n3 1\n1 2\n2 1\n",
     Failure(Check::kCaseNumberLineNotInteger,
             "v 7. vrstici bi morala biti stevilka testnega primera, ne pa \"  \t \"")},
    {"letter_after_block", kExampleTestData, kExampleSubmission + "x\n",
     Failure(Check::kCaseNumberLineNotInteger,
             "v 7. vrstici bi morala biti stevilka testnega primera, ne pa \"x\"")},
    {"colon_is_no_digit", kExampleTestData, Submission("1:\n3 1\n1 2\n2 1\n:1\n3 1\n1 2\n2 1\n"),
     Failure(Check::kCaseNumberLineNotInteger,
             "v 7. vrstici bi morala biti stevilka testnega primera, ne pa \":1\"")},
    {"quote_percent_and_nul_quoted_whole", kExampleTestData,
     Submission("\n\"%s%d%n\0\xc4\xff\"\n"s),
     Failure(
         Check::kCaseNumberLineNotInteger,
         "v 4. vrstici bi morala biti stevilka testnega primera, ne pa \"\"%s%d%n\0\xc4\xff\"\""s)},
    {"answer_and_empty_lines_counted", "Zobnikari\n1\n\n1 3 2 1 1\n5 1 0\n1 2 3\n3 2 1\n",
     Submission("1\n1\n2\n\n?\n"),
     Failure(Check::kCaseNumberLineNotInteger,
             "v 7. vrstici bi morala biti stevilka testnega primera, ne pa \"?\"")},
    {"case_zero", kExampleTestData, Submission("0\n"),
     Failure(Check::kCaseNumberUnknown,
             "v 3. vrstici se pojavlja neveljavna stevilka testnega primera: 0")},
    {"case_negative", kExampleTestData, Submission("\n-1\n"),
     Failure(Check::kCaseNumberUnknown,
             "v 4. vrstici se pojavlja neveljavna stevilka testnega primera: -1")},
    {"case_past_the_last", kTwoCases, Submission("3\n"),
     Failure(Check::kCaseNumberUnknown,
             "v 3. vrstici se pojavlja neveljavna stevilka testnega primera: 3")},
    {"case_beyond_32_bits", kExampleTestData, Submission("4294967297\n"),
     Failure(Check::kCaseNumberUnknown,
             "v 3. vrstici se pojavlja neveljavna stevilka testnega primera: 2147483647")},
    {"case_negative_beyond_32_bits", kExampleTestData, Submission("-4294967297\n"),
     Failure(Check::kCaseNumberUnknown,
             "v 3. vrstici se pojavlja neveljavna stevilka testnega primera: -2147483648")},
    {"surplus_line_unknown_case", kExampleTestData, kExampleSubmission + "3 1\n",
     Failure(Check::kCaseNumberUnknown,
             "v 7. vrstici se pojavlja neveljavna stevilka testnega primera: 3")},
};

// Every table, by name.
inline const std::vector<std::pair<std::string, const std::vector<ReportCase>*>> kAllTables = {
    {"reading", &kReadingCases},
    {"test_data_file", &kTestDataFileCases},
    {"test_case_block", &kTestCaseBlockCases},
    {"answer_block", &kAnswerBlockCases},
    {"submission", &kSubmissionCases},
};

}  // namespace cases
}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_REPORT_CASES_H_
