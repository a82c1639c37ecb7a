// The one line on standard error of a run that ends without a report (exit
// status 2): a failure of the system with one of the run's files, a report
// path that names an input, or memory that ran out before the evaluation
// began. Every entry point that stops so writes its line here.
#ifndef ZOBNIKARI_DRIVER_FAILURE_LINES_H_
#define ZOBNIKARI_DRIVER_FAILURE_LINES_H_

#include <string_view>

#include "common/platform.h"

namespace zobnikari {

// The paths that a run was given, by the role of each file.
struct RunPaths {
  std::string_view testData;
  std::string_view submission;
  std::string_view report;

  // Returns the path of the file of role.
  std::string_view Of(FileRole role) const;
};

// Writes the line that tells of failure, naming its file by paths, allocating
// nothing.
void WriteFailureLine(const IoFailure& failure, const RunPaths& paths);

// Writes the line that refuses to write the report over the input of role,
// which the report path names.
void WriteReportIsInputLine(FileRole input, const RunPaths& paths);

// Writes the line that memory ran out before the evaluation began.
void WriteOutOfMemoryLine();

// Writes the line of the failure being handled (an IoFailure, naming its file
// by paths; anything else is memory that ran out before the evaluation began)
// and returns 2, the exit status for it. REQUIRES: called inside a catch
// handler.
int WriteCurrentFailureLine(const RunPaths& paths);

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_FAILURE_LINES_H_
