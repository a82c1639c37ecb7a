// The report's format: the OK report with the score of every answer block,
// the failure report of one check, and the report for unexpected failures;
// the writer that puts them into the report file or into memory; and the
// place handed back beside a report, where the evaluation stood when it
// ended without an OK report.
#ifndef ZOBNIKARI_DRIVER_REPORT_H_
#define ZOBNIKARI_DRIVER_REPORT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/checks.h"
#include "common/platform.h"

namespace zobnikari {

// The report for unexpected failures: what every evaluation gives when memory
// runs out.
extern const std::string_view kUnexpectedFailureReport;

// One answered test case as the OK report lists it.
struct ScoreEntry {
  std::int32_t id;     // the test-case number as written in the submission
  std::int32_t score;  // the total of its answer block
};

// Where a report goes: the report file, or text in memory.
class ReportWriter {
 public:
  // Writes into file.
  explicit ReportWriter(ReportFile& file) : file_(&file) {}
  // Appends to text. REQUIRES: text has room for kUnexpectedFailureReport
  // without growing.
  explicit ReportWriter(std::string& text) : text_(&text) {}
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Writes text. In memory, when memory runs out the report becomes the
  // report for unexpected failures, and later writes are dropped; a failed
  // write to the file is remembered by the file.
  void Write(std::string_view text);
  // Writes value in decimal, as Write(text) does.
  void Write(std::int64_t value);

  // Returns true once memory ran out in memory: the text is the report for
  // unexpected failures, whatever was written.
  bool outOfMemory() const { return outOfMemory_; }

 private:
  ReportFile* file_ = nullptr;
  std::string* text_ = nullptr;
  bool outOfMemory_ = false;
};

// Writes the OK report of entries, in their order, to report.
void WriteOkReport(ReportWriter& report, const std::vector<ScoreEntry>& entries);

// Writes the failure report of check, with message, to report.
void WriteFailureReport(ReportWriter& report, Check check, std::string_view message);

// Returns the OK report of entries, in their order, exactly as
// EvaluateInMemory gives it; when memory runs out, the report for unexpected
// failures. Throws std::bad_alloc only when there is no room for that either.
std::string OkReport(const std::vector<ScoreEntry>& entries);

// Returns the failure report of check with message, as OkReport does.
std::string FailureReport(Check check, std::string_view message);

// The input file that an evaluation was reading when it ended without an OK
// report.
enum class InputRead : std::int32_t { kNone = 0, kTestData = 1, kSubmission = 2 };

// A report, and beside it where the evaluation stood when it ended without
// an OK report: the messages of some checks name no line (a list of numbers)
// or name a race instead, so a reader of the report is shown the line here.
struct PlacedReport {
  std::string report;  // exactly as EvaluateInMemory returns it
  // True when report is the OK report; false when memory ran out while it
  // was written, though every block was scored (file is then kNone).
  bool passed = false;
  InputRead file = InputRead::kNone;  // kNone with an OK report
  // The line of file that the evaluation was looking at, counted from 1: the
  // last line it read, or, when lineMissing, the line after it, which the file
  // does not have. 0 with an OK report.
  std::int64_t line = 0;
  bool lineMissing = false;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_REPORT_H_
