// The diagnosis: on every row of the tables in report_cases.h its report is
// the evaluation's and its first finding the report's failure; how it goes on
// after a defect, a table of rows whose findings are written out by hand; its
// JSON document, byte for byte; and the same on files.
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/platform.h"
#include "driver/diagnosis.h"
#include "driver/diagnosis_json.h"
#include "driver/evaluation.h"
#include "fault_loop.h"
#include "report_cases.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

using cases::kExampleSubmission;
using cases::kExampleTestData;
using cases::kTwoCases;
using cases::ReportCase;
using cases::Submission;

// Returns finding as "<file>:<line>[ (missing)] <check> <message>".
std::string Describe(const Finding& finding) {
  return std::string(finding.file == InputRead::kTestData ? "testdata:" : "submission:") +
         std::to_string(finding.line) + (finding.missing ? " (missing) " : " ") +
         std::to_string(NumberOf(finding.check)) + " " + finding.message;
}

std::vector<std::string> Describe(const std::vector<Finding>& findings) {
  std::vector<std::string> described;
  for (const Finding& finding : findings) described.push_back(Describe(finding));
  return described;
}

// Expects the placed report of diagnosis to be placed, field by field.
void ExpectPlacedAs(const Diagnosis& diagnosis, const PlacedReport& placed,
                    const std::string& label) {
  EXPECT_EQ(diagnosis.placed.report, placed.report) << label;
  EXPECT_EQ(diagnosis.placed.passed, placed.passed) << label;
  EXPECT_EQ(diagnosis.placed.file, placed.file) << label;
  EXPECT_EQ(diagnosis.placed.line, placed.line) << label;
  EXPECT_EQ(diagnosis.placed.lineMissing, placed.lineMissing) << label;
}

TEST(Diagnose, FirstFindingIsTheReportsFailureOnEveryTableRow) {
  for (const auto& [table, rows] : cases::kAllTables) {
    for (const ReportCase& row : *rows) {
      const std::string label = table + "/" + row.name;
      const Diagnosis diagnosis = Diagnose(row.testData, row.submission);
      const PlacedReport placed = EvaluateInMemoryPlaced(row.testData, row.submission);
      EXPECT_EQ(diagnosis.placed.report, row.report) << label;
      EXPECT_FALSE(diagnosis.incomplete) << label;
      // The report passes when it is OK, and the diagnosis places it where the
      // evaluation does.
      EXPECT_EQ(placed.passed, row.report.compare(0, 3, "OK\n") == 0) << label;
      ExpectPlacedAs(diagnosis, placed, label);
      const Diagnosis alone = DiagnoseTestData(row.testData);
      EXPECT_TRUE(alone.placed.report.empty()) << label;
      EXPECT_EQ(alone.placed.passed, alone.testDataValid) << label;
      if (placed.file == InputRead::kNone) {
        EXPECT_TRUE(diagnosis.findings.empty()) << label;
        // An OK report lists the blocks, every one accepted, in its order.
        std::string entries;
        for (const AnswerBlock& block : diagnosis.blocks) {
          EXPECT_TRUE(block.accepted) << label;
          entries += std::to_string(block.id) + " " + std::to_string(block.score) + "\n";
        }
        EXPECT_EQ("OK\n" + std::to_string(diagnosis.blocks.size()) + "\n" + entries, row.report)
            << label;
        continue;
      }
      ASSERT_FALSE(diagnosis.findings.empty()) << label;
      const Finding& first = diagnosis.findings.front();
      EXPECT_EQ(cases::Failure(first.check, first.message), row.report) << label;
      EXPECT_EQ(first.file, placed.file) << label;
      EXPECT_EQ(first.line, placed.line) << label;
      EXPECT_EQ(first.missing, placed.lineMissing) << label;
      // The test data alone gives the same finding, at the same place, when
      // it is the test data's, and is valid when the failure is the
      // submission's.
      EXPECT_EQ(alone.testDataValid, placed.file == InputRead::kSubmission) << label;
      if (placed.file == InputRead::kTestData) {
        ASSERT_EQ(Describe(alone.findings), std::vector<std::string>{Describe(first)}) << label;
        EXPECT_EQ(Describe(diagnosis.findings), Describe(alone.findings)) << label;
        EXPECT_TRUE(diagnosis.blocks.empty()) << label;
        EXPECT_EQ(alone.placed.file, placed.file) << label;
        EXPECT_EQ(alone.placed.line, placed.line) << label;
        EXPECT_EQ(alone.placed.lineMissing, placed.lineMissing) << label;
      } else {
        EXPECT_TRUE(alone.findings.empty()) << label;
        EXPECT_EQ(alone.placed.file, InputRead::kNone) << label;
        EXPECT_EQ(alone.placed.line, 0) << label;
      }
    }
  }
}

// A diagnosis that goes on: its inputs, and every finding it must list.
struct GoingOnRow {
  const char* name;
  std::string testData;
  std::string submission;
  std::vector<std::string> findings;
  std::uint64_t moreFindings;
};

// Returns count answer blocks of the example test case whose three lines all
// name cyclist 1 twice, and the findings of the first listed of them: three
// a block.
std::string RepeatedOnes(int count) {
  std::string lines;
  for (int b = 0; b < count; ++b) lines += "1\n1 1\n1 1\n1 1\n";
  return Submission(lines);
}
std::vector<std::string> RepeatedOnesFindings(int listed) {
  std::vector<std::string> findings;
  for (int i = 0; i < listed; ++i) {
    // Block b's number line is 3 + 4b; race r's line follows it r lines on.
    const int block = i / 3;
    const int race = i % 3 + 1;
    findings.push_back("submission:" + std::to_string(3 + 4 * block + race) + " 169 v ekipi za " +
                       std::to_string(race) + ". dirko se kolesar 1 pojavlja vec kot enkrat");
  }
  return findings;
}

TEST(Diagnose, GoesOnByItsRules) {
  const std::string longLine(3000, 'x');
  const std::string hugeLine = std::string(kMostFindingText, 'x');
  const GoingOnRow rows[] = {
      {"several_defects_in_one_block",
       kExampleTestData,
       Submission("1\n1 1\n0 2\n2 1 3\n"),
       {"submission:4 169 v ekipi za 1. dirko se kolesar 1 pojavlja vec kot enkrat",
        "submission:5 167 v ekipi za 2. dirko je kolesar 0, moral bi biti od 1 do n = 4",
        "submission:6 160 ekipa za 3. dirko bi morala imeti k = 2 kolesarjev, ne pa 3"},
       0},
      {"one_defect_in_each_of_three_blocks",
       kTwoCases,
       Submission("1\n3 1\n1 2\n2 x\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 99999999999\n1\n3 1\n1 2\n3 4\n"),
       {"submission:6 55 namesto stevke se pojavlja znak s kodo 120",
        "submission:11 61 stevilo 9999999999 je preveliko",
        "submission:15 174 med 2. in 3. dirko je 2 menjav, moralo bi jih biti od 1 do m = 1"},
       0},
      {"accepted_blocks_around_a_defective_one",
       kExampleTestData,
       kExampleSubmission + "1\n3 1\n1 2 3\n2 1\n1\n3 1\n1 2\n2 1\n",
       {"submission:9 160 ekipa za 2. dirko bi morala imeti k = 2 kolesarjev, ne pa 3"},
       0},
      {"malformed_line_then_newcomer_excess",
       kTwoCases,
       // Race 3 is not held to race 2, which repeats a cyclist: against
       // race 1 it would have 3 newcomers. Race 4 is held to race 3.
       Submission("2\n1 2 3\n1 1 2\n4 5 6\n1 2 3\n"),
       {"submission:5 169 v ekipi za 2. dirko se kolesar 1 pojavlja vec kot enkrat",
        "submission:7 174 med 3. in 4. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2"},
       0},
      {"team_with_too_many_newcomers_is_the_next_ones_previous",
       kTwoCases,
       Submission("2\n1 2 3\n4 5 6\n4 5 6\n1 2 3\n"),
       {"submission:5 174 med 1. in 2. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2",
        "submission:7 174 med 3. in 4. dirko je 3 menjav, moralo bi jih biti od 1 do m = 2"},
       0},
      {"both_header_lines_wrong",
       kExampleTestData,
       "12345\nZobnikari!\n1\n3 1\n1 2\n2 1\n",
       {"submission:1 203 stevilka tekmovalca bi morala imeti 6 stevk",
        "submission:2 207 v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"Zobnikari!\""},
       0},
      {"both_header_lines_wrong_and_quoted",
       kExampleTestData,
       "abcdef\nzobnikari\n1\n2 2\n",
       {"submission:1 205 v prvi vrstici bi morala biti stevilka tekmovalca, ne pa \"abcdef\"",
        "submission:2 207 v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"zobnikari\"",
        "submission:4 169 v ekipi za 1. dirko se kolesar 2 pojavlja vec kot enkrat",
        "submission:5 (missing) 158 manjka vrstica z ekipo za 2. dirko"},
       0},
      {"line_1_wrong_then_the_file_ends",
       kExampleTestData,
       "1234567",
       {"submission:1 203 stevilka tekmovalca bi morala imeti 6 stevk",
        "submission:2 (missing) 206 manjka druga vrstica"},
       0},
      {"unknown_case_number_after_defects_ends_it",
       kExampleTestData,
       Submission("1\n3 1\n3 3\n2 1\n7\n3 3\n"),
       {"submission:5 169 v ekipi za 2. dirko se kolesar 3 pojavlja vec kot enkrat",
        "submission:7 217 v 7. vrstici se pojavlja neveljavna stevilka testnega primera: 7"},
       0},
      {"line_without_a_number_after_defects_ends_it",
       kExampleTestData,
       Submission("1\n3 1\n1 2\n2\n\n x\n1\n1 1\n"),
       {"submission:6 160 ekipa za 3. dirko bi morala imeti k = 2 kolesarjev, ne pa 1",
        "submission:8 215 v 8. vrstici bi morala biti stevilka testnega primera, ne pa \" x\""},
       0},
      {"block_cut_by_the_end_of_the_file",
       kExampleTestData,
       Submission("1\n3 3\n1 2"),
       {"submission:4 169 v ekipi za 1. dirko se kolesar 3 pojavlja vec kot enkrat",
        "submission:6 (missing) 158 manjka vrstica z ekipo za 3. dirko"},
       0},
      {"test_data_defect_is_the_only_finding",
       cases::OneBlock("1 4 3 2 1", "5 6 3 0", "3 1 4 2\n1 2 3 4\n4 3 2 2\n"),
       "x\n",
       {"testdata:5 95 v 5. vrstici je t_1 = 5 in  t_2 = 6, zaporedje ni nepadajoce"},
       0},
      {"a_long_line_quoted_after_the_first",
       kExampleTestData,
       "12345\n" + longLine + "\n",
       {"submission:1 203 stevilka tekmovalca bi morala imeti 6 stevk",
        "submission:2 207 v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"" + longLine +
            "\""},
       0},
      // A later message that could take the listed ones past their room is
      // counted, and so is every finding after it.
      {"a_huge_line_quoted_after_the_first_is_counted",
       kExampleTestData,
       "12345\n" + hugeLine + "\n1\n1 1\n3 1\n2 1\n",
       {"submission:1 203 stevilka tekmovalca bi morala imeti 6 stevk"},
       2},
      {"a_huge_line_quoted_first_is_listed",
       kExampleTestData,
       "123456\n" + hugeLine + "\n1\n1 1\n",
       {"submission:2 207 v drugi vrstici bi moral biti niz \"Zobnikari\", ne pa \"" + hugeLine +
            "\"",
        "submission:4 169 v ekipi za 1. dirko se kolesar 1 pojavlja vec kot enkrat",
        "submission:5 (missing) 158 manjka vrstica z ekipo za 2. dirko"},
       0},
      {"exactly_1000_findings", kExampleTestData, RepeatedOnes(333) + "1\n1 1\n3 1\n2 1\n",
       [] {
         std::vector<std::string> findings = RepeatedOnesFindings(999);
         findings.push_back(
             "submission:1336 169 v ekipi za 1. dirko se kolesar 1 pojavlja vec kot enkrat");
         return findings;
       }(),
       0},
      {"1001_findings", kExampleTestData, RepeatedOnes(333) + "1\n1 1\n1 1\n3 1\n",
       [] {
         std::vector<std::string> findings = RepeatedOnesFindings(999);
         findings.push_back(
             "submission:1336 169 v ekipi za 1. dirko se kolesar 1 pojavlja vec kot enkrat");
         return findings;
       }(),
       1},
      {"1200_findings", kExampleTestData, RepeatedOnes(400), RepeatedOnesFindings(1000), 200},
  };
  for (const GoingOnRow& row : rows) {
    const Diagnosis diagnosis = Diagnose(row.testData, row.submission);
    EXPECT_EQ(Describe(diagnosis.findings), row.findings) << row.name;
    EXPECT_EQ(diagnosis.moreFindings, row.moreFindings) << row.name;
    ExpectPlacedAs(diagnosis, EvaluateInMemoryPlaced(row.testData, row.submission), row.name);
    EXPECT_FALSE(diagnosis.incomplete) << row.name;
  }
}

// Returns each block of diagnosis as "<id>@<line>:<defects>", with "+" when
// it is accepted.
std::vector<std::string> DescribeBlocks(const Diagnosis& diagnosis) {
  std::vector<std::string> described;
  for (const AnswerBlock& block : diagnosis.blocks) {
    described.push_back(std::to_string(block.id) + "@" + std::to_string(block.line) + ":" +
                        std::to_string(block.defects) + (block.accepted ? "+" : ""));
  }
  return described;
}

TEST(Diagnose, CountsEachBlocksDefectsListedOrNot) {
  const struct {
    const char* name;
    std::string testData;
    std::string submission;
    std::vector<std::string> blocks;
  } rows[] = {
      {"several_in_one_block", kExampleTestData, Submission("1\n1 1\n0 2\n2 1 3\n"), {"1@3:3"}},
      {"one_in_each_of_three_blocks",
       kTwoCases,
       Submission("1\n3 1\n1 2\n2 x\n2\n1 2 3\n1 5 6\n6 2 4\n4 2 99999999999\n1\n3 1\n1 2\n3 4\n"),
       {"1@3:1", "2@7:1", "1@12:1"}},
      {"accepted_around_a_rejected_one",
       kExampleTestData,
       kExampleSubmission + "1\n3 1\n1 2 3\n2 1\n1\n3 1\n1 2\n2 1\n",
       {"1@3:0+", "1@7:1", "1@11:0+"}},
      // The missing line is the block's second defect.
      {"cut_by_the_end_of_the_file", kExampleTestData, Submission("1\n3 3\n1 2"), {"1@3:2"}},
      // Past the 1000 listed findings, every block still counts its three.
      {"past_the_listed_findings", kExampleTestData, RepeatedOnes(400),
       [] {
         std::vector<std::string> blocks;
         for (int b = 0; b < 400; ++b) blocks.push_back("1@" + std::to_string(3 + 4 * b) + ":3");
         return blocks;
       }()},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DescribeBlocks(Diagnose(row.testData, row.submission)), row.blocks) << row.name;
  }
}

// A diagnosis and its whole JSON document.
struct JsonRow {
  const char* name;
  std::string testData;
  bool withSubmission;
  std::string submission;
  std::string json;
};

TEST(DiagnosisJson, WritesEachDiagnosisAsItsDocument) {
  const JsonRow rows[] = {
      {"worked_example", kExampleTestData, true, kExampleSubmission,
       R"({"report":"OK\u000a1\u000a1 35\u000a","findings":[],"moreFindings":0,)"
       R"("blocks":[{"id":1,"line":3,"accepted":true,"score":35,"ceiling":48,)"
       R"("races":[[16,0],[16,1],[3,0]]}],)"
       R"("testData":{"valid":true,"cases":[{"id":1,"n":4,"d":3,"k":2,"m":1}]}})"
       "\n"},
      {"accepted_block_then_one_cut_short", kTwoCases, true,
       Submission(cases::kSecondAnswer + "\n1\n3 1\n"),
       R"({"report":"Napaka [Orv19Zobnikari.cpp:158]: manjka vrstica z ekipo za 2. dirko\u000a-1\u000a",)"
       R"("findings":[{"file":"submission","line":11,"missing":true,"check":158,)"
       R"("message":"manjka vrstica z ekipo za 2. dirko"}],"moreFindings":0,)"
       R"("blocks":[{"id":2,"line":3,"accepted":true,"score":62,"ceiling":84,)"
       R"("races":[[21,0],[16,2],[21,2],[4,0]]},{"id":1,"line":9,"accepted":false}],)"
       R"("testData":{"valid":true,"cases":[{"id":1,"n":4,"d":3,"k":2,"m":1},)"
       R"({"id":2,"n":6,"d":4,"k":3,"m":2}]}})"
       "\n"},
      {"a_line_without_a_number_is_no_block", kExampleTestData, true,
       kExampleSubmission + "\"x\\\n",
       R"({"report":"Napaka [Orv19Zobnikari.cpp:215]: v 7. vrstici bi morala biti stevilka )"
       R"(testnega primera, ne pa \"\"x\\\"\u000a-1\u000a","findings":[{"file":"submission",)"
       R"("line":7,"missing":false,"check":215,"message":"v 7. vrstici bi morala biti stevilka )"
       R"(testnega primera, ne pa \"\"x\\\""}],"moreFindings":0,)"
       R"("blocks":[{"id":1,"line":3,"accepted":true,"score":35,"ceiling":48,)"
       R"("races":[[16,0],[16,1],[3,0]]}],)"
       R"("testData":{"valid":true,"cases":[{"id":1,"n":4,"d":3,"k":2,"m":1}]}})"
       "\n"},
      {"test_data_invalid", "Zobnikari\n0\n", true, kExampleSubmission,
       R"({"report":"Napaka [Orv19Zobnikari.cpp:126]: v drugi vrstici bi moralo biti stevilo )"
       R"(testnih primerov, ne pa \"0\"\u000a-1\u000a","findings":[{"file":"testdata","line":2,)"
       R"("missing":false,"check":126,"message":"v drugi vrstici bi moralo biti stevilo )"
       R"(testnih primerov, ne pa \"0\""}],"moreFindings":0,"blocks":[],)"
       R"("testData":{"valid":false,"cases":[]}})"
       "\n"},
      {"test_data_alone", kTwoCases, false, "",
       R"({"findings":[],"moreFindings":0,"testData":{"valid":true,"cases":[)"
       R"({"id":1,"n":4,"d":3,"k":2,"m":1},{"id":2,"n":6,"d":4,"k":3,"m":2}]}})"
       "\n"},
      {"test_data_alone_missing_a_line", "Zobnikari\n", false, "",
       R"({"findings":[{"file":"testdata","line":2,"missing":true,"check":123,)"
       R"("message":"manjka druga vrstica s stevilom testnih primerov"}],"moreFindings":0,)"
       R"("testData":{"valid":false,"cases":[]}})"
       "\n"},
  };
  for (const JsonRow& row : rows) {
    const Diagnosis diagnosis = row.withSubmission ? Diagnose(row.testData, row.submission)
                                                   : DiagnoseTestData(row.testData);
    EXPECT_EQ(DiagnosisJson(diagnosis), row.json) << row.name;
  }
}

TEST(DiagnosisJson, WritesLargeNumbersAndTheMarkOfAnIncompleteDiagnosis) {
  // No test input has five billion lines: the values are set by hand.
  Diagnosis diagnosis;
  diagnosis.withSubmission = true;
  diagnosis.placed.report = "OK\n0\n";
  diagnosis.findings.push_back(
      {InputRead::kSubmission, 5000000000, true, Check::kTeamLineMissing, "m"});
  diagnosis.moreFindings = 18446744073709551615u / 2;
  diagnosis.blocks.push_back({4294967296, 2147483647, 999000000, 999000000, true});
  diagnosis.testDataValid = true;
  diagnosis.incomplete = true;
  EXPECT_EQ(DiagnosisJson(diagnosis),
            R"({"report":"OK\u000a0\u000a","findings":[{"file":"submission","line":5000000000,)"
            R"("missing":true,"check":158,"message":"m"}],"moreFindings":9223372036854775807,)"
            R"("blocks":[{"id":2147483647,"line":4294967296,"accepted":true,"score":999000000,)"
            R"("ceiling":999000000}],"testData":{"valid":true,"cases":[]},"incomplete":true})"
            "\n");
}

TEST(DiagnosisJson, ListsRacesOfTheFirst1000AcceptedBlocksOnly) {
  // 1001 accepted blocks, one rejected among them: the 1000th accepted block
  // (the 1001st block) has its races, the last one has none.
  std::string lines;
  for (int b = 0; b < 1002; ++b) lines += b == 500 ? "1\n3 3\n1 2\n2 1\n" : "1\n3 1\n1 2\n2 1\n";
  const std::string json = DiagnosisJson(Diagnose(kExampleTestData, Submission(lines)));
  const std::string races = R"("races":[[16,0],[16,1],[3,0]]})";
  EXPECT_NE(json.find(R"({"id":1,"line":4003,"accepted":true,"score":35,"ceiling":48,)" + races),
            std::string::npos);
  EXPECT_NE(json.find(R"({"id":1,"line":4007,"accepted":true,"score":35,"ceiling":48}])"),
            std::string::npos);
  EXPECT_NE(json.find(R"({"id":1,"line":2003,"accepted":false},)"), std::string::npos);
}

TEST(JsonString, EscapesEveryByteByTheRule) {
  // Sixteen bytes a row, 0x00 to 0xff.
  const char* const escaped[16] = {
      R"("\u0000\u0001\u0002\u0003\u0004\u0005\u0006\u0007\u0008\u0009\u000a\u000b\u000c\u000d\u000e\u000f")",
      R"("\u0010\u0011\u0012\u0013\u0014\u0015\u0016\u0017\u0018\u0019\u001a\u001b\u001c\u001d\u001e\u001f")",
      R"(" !\"#$%&'()*+,-./")",
      R"("0123456789:;<=>?")",
      R"("@ABCDEFGHIJKLMNO")",
      R"("PQRSTUVWXYZ[\\]^_")",
      R"("`abcdefghijklmno")",
      R"("pqrstuvwxyz{|}~\u007f")",
      R"("\u0080\u0081\u0082\u0083\u0084\u0085\u0086\u0087\u0088\u0089\u008a\u008b\u008c\u008d\u008e\u008f")",
      R"("\u0090\u0091\u0092\u0093\u0094\u0095\u0096\u0097\u0098\u0099\u009a\u009b\u009c\u009d\u009e\u009f")",
      R"("\u00a0\u00a1\u00a2\u00a3\u00a4\u00a5\u00a6\u00a7\u00a8\u00a9\u00aa\u00ab\u00ac\u00ad\u00ae\u00af")",
      R"("\u00b0\u00b1\u00b2\u00b3\u00b4\u00b5\u00b6\u00b7\u00b8\u00b9\u00ba\u00bb\u00bc\u00bd\u00be\u00bf")",
      R"("\u00c0\u00c1\u00c2\u00c3\u00c4\u00c5\u00c6\u00c7\u00c8\u00c9\u00ca\u00cb\u00cc\u00cd\u00ce\u00cf")",
      R"("\u00d0\u00d1\u00d2\u00d3\u00d4\u00d5\u00d6\u00d7\u00d8\u00d9\u00da\u00db\u00dc\u00dd\u00de\u00df")",
      R"("\u00e0\u00e1\u00e2\u00e3\u00e4\u00e5\u00e6\u00e7\u00e8\u00e9\u00ea\u00eb\u00ec\u00ed\u00ee\u00ef")",
      R"("\u00f0\u00f1\u00f2\u00f3\u00f4\u00f5\u00f6\u00f7\u00f8\u00f9\u00fa\u00fb\u00fc\u00fd\u00fe\u00ff")",
  };
  for (int row = 0; row < 16; ++row) {
    std::string bytes;
    for (int column = 0; column < 16; ++column) bytes += static_cast<char>(16 * row + column);
    EXPECT_EQ(JsonString(bytes), escaped[row]) << "bytes from " << 16 * row;
  }
}

TEST(JsonString, HandsLongStringsOverPieceByPiece) {
  // Escaped bytes that straddle the pieces' edges arrive whole and in order.
  std::string bytes;
  for (std::size_t i = 0; i < 3 * kJsonPiece; ++i) bytes += i % 7 == 0 ? '\n' : 'a';
  const std::string json = JsonString(bytes);
  std::string expected = "\"";
  for (std::size_t i = 0; i < 3 * kJsonPiece; ++i) expected += i % 7 == 0 ? "\\u000a" : "a";
  EXPECT_EQ(json, expected + "\"");
}

TEST(DiagnoseFiles, GivesOnFilesWhatItGivesInMemory) {
  TempFolder folder;
  for (const auto& [table, rows] : cases::kAllTables) {
    for (const ReportCase& row : *rows) {
      const std::string submission = folder.Write("submission.txt", row.submission);
      const std::string testData = folder.Write("input.txt", row.testData);
      const std::string label = table + "/" + row.name;
      const Diagnosis onFiles = DiagnoseFiles(testData, submission);
      const Diagnosis inMemory = Diagnose(row.testData, row.submission);
      EXPECT_EQ(DiagnosisJson(onFiles), DiagnosisJson(inMemory)) << label;
      ExpectPlacedAs(onFiles, inMemory.placed, label);
      const Diagnosis aloneOnFile = DiagnoseTestDataFile(testData);
      const Diagnosis aloneInMemory = DiagnoseTestData(row.testData);
      EXPECT_EQ(DiagnosisJson(aloneOnFile), DiagnosisJson(aloneInMemory)) << label;
      ExpectPlacedAs(aloneOnFile, aloneInMemory.placed, label);
    }
  }
  // A path that names no file reads as an empty file.
  const std::string missing = folder.Path("no_such_file.txt");
  EXPECT_EQ(
      Describe(DiagnoseTestDataFile(missing).findings),
      std::vector<std::string>{"testdata:1 (missing) 119 manjka prva vrstica z imenom naloge"});
}

Fault FailEveryRead(FaultPoint point) {
  Fault fault;
  if (point == FaultPoint::kRead) fault = Fault{true, {SystemError::Source::kErrno, EIO}, 0};
  return fault;
}

TEST(DiagnoseFiles, PassesAFaultOfTheMachineOn) {
  TempFolder folder;
  const std::string testData = folder.Write("input.txt", kExampleTestData);
  const std::string submission = folder.Write("submission.txt", kExampleSubmission);
  faults::ScopedFaultHook hook(FailEveryRead);
  EXPECT_THROW(DiagnoseTestDataFile(testData), IoFailure);
  EXPECT_THROW(DiagnoseFiles(testData, submission), IoFailure);
}

TEST(DiagnoseOrEvaluate, GivesTheDiagnosisWhenMemorySuffices) {
  for (const auto& [table, rows] : cases::kAllTables) {
    for (const ReportCase& row : *rows) {
      const std::string label = table + "/" + row.name;
      const Diagnosis both = DiagnoseOrEvaluate(row.testData, row.submission);
      const Diagnosis diagnosed = Diagnose(row.testData, row.submission);
      EXPECT_EQ(DiagnosisJson(both), DiagnosisJson(diagnosed)) << label;
      ExpectPlacedAs(both, diagnosed.placed, label);
      const Diagnosis alone = DiagnoseOrEvaluate(row.testData, std::nullopt);
      const Diagnosis aloneDiagnosed = DiagnoseTestData(row.testData);
      EXPECT_FALSE(alone.withSubmission) << label;
      EXPECT_EQ(DiagnosisJson(alone), DiagnosisJson(aloneDiagnosed)) << label;
      ExpectPlacedAs(alone, aloneDiagnosed.placed, label);
    }
  }
}

}  // namespace
}  // namespace zobnikari
