// The evaluator's command line and its one evaluation run: load the test
// data, check the submission's header, score every answer block, and write the
// report (OK with the scores, or the one failure; its format is report.h's),
// into the report file or into memory.
#ifndef ZOBNIKARI_DRIVER_EVALUATION_H_
#define ZOBNIKARI_DRIVER_EVALUATION_H_

#include <string>
#include <string_view>
#include <vector>

#include "driver/report.h"

namespace zobnikari {

// Returns the exit status of the whole program, given main's arguments: as
// the form below, or 2 with one line on standard error when memory runs out
// while the arguments are taken.
int EntryPoint(int argc, char** argv);

// Returns the exit status of the whole program for arguments (program name
// first): RunEvaluation's when the first argument is exactly "eval", else 0
// after writing the usage line to standard output. When memory runs out
// before the report is open, returns 2 after one line on standard error.
int EntryPoint(const std::vector<std::string>& arguments);

// Runs one evaluation: arguments are the program, "eval", the test-data path,
// the submission path and the report path; later ones are ignored. Returns 1
// after the usage line when a path is missing; 0 once a complete report is
// written, whichever its shape. Returns 2, after one line on standard error,
// with the report file absent or empty: when the report cannot be opened,
// names the same file as an input, or cannot be written in full; or when the
// system fails to open or read an input (an IoFailure). The line is
// failure_lines.h's. Throws std::bad_alloc only before the report is open.
int RunEvaluation(const std::vector<std::string>& arguments);

// Runs one evaluation of a test data and a submission held in memory, by the
// same rules and in the same order as RunEvaluation. Returns the report's text
// exactly as RunEvaluation writes it into the report file (where, on Windows,
// text mode then turns each LF into CR LF), whichever its shape; when memory
// runs out, the report for unexpected failures. Throws std::bad_alloc only
// when memory runs out before the evaluation begins.
std::string EvaluateInMemory(std::string_view testData, std::string_view submission);

// Runs EvaluateInMemory(testData, submission) and returns its report with
// whether it is the OK report and the place of the failure, if any.
PlacedReport EvaluateInMemoryPlaced(std::string_view testData, std::string_view submission);

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_EVALUATION_H_
