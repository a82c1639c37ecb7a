// The line on standard error of each way that a run ends without a report:
// which words, which path, whether it tells of a fault of the machine, and the
// system's reason.
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "driver/failure_lines.h"
#include "fault_loop.h"

namespace zobnikari {
namespace {

TEST(FailureLines, NameTheFileAndTheReason) {
  if (!faults::CanCaptureStandardError()) GTEST_SKIP() << "standard error cannot be captured here";
  const RunPaths paths{"in.txt", "sub.txt", "rep.txt"};
  // Returns the line that tells of role's operation failing with code.
  const auto failure = [&paths](FileRole role, FileOperation operation, int code, bool machine) {
    return [=, &paths] {
      WriteFailureLine({role, operation, {SystemError::Source::kErrno, code}, machine}, paths);
    };
  };
  const std::string& machine = cases::kMachineLine;
  const struct {
    std::function<void()> write;
    std::string line;
  } cases[] = {
      {failure(FileRole::kTestData, FileOperation::kOpen, EMFILE, true),
       machine + "datoteke \"in.txt\" ni mogoce odpreti za branje: " + std::strerror(EMFILE)},
      {failure(FileRole::kSubmission, FileOperation::kOpen, EIO, true),
       machine + "datoteke \"sub.txt\" ni mogoce odpreti za branje: " + std::strerror(EIO)},
      {failure(FileRole::kTestData, FileOperation::kRead, EIO, true),
       machine + "branje datoteke \"in.txt\" ni uspelo: " + std::strerror(EIO)},
      {failure(FileRole::kSubmission, FileOperation::kRead, ENOMEM, true),
       machine + "branje datoteke \"sub.txt\" ni uspelo: " + std::strerror(ENOMEM)},
      {failure(FileRole::kReport, FileOperation::kOpen, ENOENT, false),
       "Orv19Zobnikari: datoteke s porocilom \"rep.txt\" ni mogoce odpreti za pisanje: " +
           std::string(std::strerror(ENOENT))},
      {failure(FileRole::kReport, FileOperation::kOpen, EMFILE, true),
       machine + "datoteke s porocilom \"rep.txt\" ni mogoce odpreti za pisanje: " +
           std::strerror(EMFILE)},
      {failure(FileRole::kReport, FileOperation::kWrite, ENOSPC, false),
       "Orv19Zobnikari: pisanje porocila \"rep.txt\" ni uspelo: " +
           std::string(std::strerror(ENOSPC))},
      {failure(FileRole::kReport, FileOperation::kClose, EIO, true),
       machine + "pisanje porocila \"rep.txt\" ni uspelo: " + std::strerror(EIO)},
      {[&paths] { WriteReportIsInputLine(FileRole::kTestData, paths); },
       "Orv19Zobnikari: datoteka s porocilom \"rep.txt\" je datoteka s testnimi podatki; "
       "porocilo ni zapisano"},
      {[&paths] { WriteReportIsInputLine(FileRole::kSubmission, paths); },
       "Orv19Zobnikari: datoteka s porocilom \"rep.txt\" je oddana datoteka; porocilo ni zapisano"},
      {WriteOutOfMemoryLine, machine + "zmanjkalo je pomnilnika pred zacetkom vrednotenja"},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    c.write();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line + "\n");
  }
}

}  // namespace
}  // namespace zobnikari
