// The checks of the submission's own lines: its header (the contestant
// number, the task name) and its test-case number lines. Each check is a test
// that throws nothing, and its failure's message is composed apart, so that
// the evaluation (which throws at the first failure) and the diagnosis (which
// goes on) give the same messages.
#ifndef ZOBNIKARI_DRIVER_SUBMISSION_LINES_H_
#define ZOBNIKARI_DRIVER_SUBMISSION_LINES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/checks.h"

namespace zobnikari {

// Returns the check that line, the contestant number on line 1, fails (203
// or 205), or nothing when it passes.
std::optional<Check> CheckContestantNumber(std::string_view line);

// Returns check 207 when line, line 2, is not the task name, else nothing.
std::optional<Check> CheckTaskName(std::string_view line);

// Reads line as a test-case number line of a submission answering caseCount
// test cases (numbered 1 to caseCount): stores its number in number and
// returns nothing, or returns the check it fails (215, or 217 with number
// stored).
std::optional<Check> CheckCaseNumber(std::string_view line, std::size_t caseCount,
                                     std::int32_t& number);

// Returns the message of check (202 to 217), failed by line, the submission's
// line lineNumber; number is the test-case number it gave (217).
std::string SubmissionLineMessage(Check check, std::string_view line, std::int64_t lineNumber,
                                  std::int32_t number);

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_SUBMISSION_LINES_H_
