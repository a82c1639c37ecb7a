// Faults of the machine in whole runs of the program (Linux, fault_loop.h):
// libfiu's POSIX preload wraps the C library's fopen, fread, fwrite, fclose,
// malloc, realloc and mmap, and the project's own preload (fault_preload.cc)
// fails the Nth call at one of them (or every call from the Nth on), counted
// from the start of main; in the partial mode it makes the Nth fread or
// fwrite move some bytes, then fail with the stream's error flag set.
#include <sys/wait.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fault_loop.h"
#include "spawn.h"

#if !defined(ZOBNIKARI_PROGRAM) || !defined(ZOBNIKARI_FAULT_PRELOAD) || \
    !defined(ZOBNIKARI_FIU_POSIX_PRELOAD)
#error "the build names the program and both preloads"
#endif

extern char** environ;

namespace zobnikari {
namespace {

using faults::Outcome;
using faults::Trial;

// Runs the program on trial's files under the preloads, its fault planned.
Outcome RunProgram(const Trial& trial) {
  const std::string callsPath = trial.folder.Path("calls.txt");
  for (const std::string& path : {trial.paths.report, callsPath}) std::remove(path.c_str());
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::string(*variable).rfind("LD_PRELOAD=", 0) != 0) environment.push_back(*variable);
  }
  environment.push_back("LD_PRELOAD=" ZOBNIKARI_FAULT_PRELOAD " " ZOBNIKARI_FIU_POSIX_PRELOAD);
  environment.push_back("ZOBNIKARI_FAULT_POINT=" + trial.point.name);
  environment.push_back(std::string("ZOBNIKARI_FAULT_MODE=") + faults::NameOf(trial.mode));
  environment.push_back("ZOBNIKARI_FAULT_AT=" + std::to_string(trial.failAt));
  environment.push_back("ZOBNIKARI_FAULT_ERRNO=" +
                        std::to_string(faults::ErrnoFor(trial.point.kind)));
  environment.push_back("ZOBNIKARI_FAULT_CALLS=" + callsPath);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(&variable[0]);
  envp.push_back(nullptr);
  const int waitStatus = SpawnAndWait(
      {ZOBNIKARI_PROGRAM, "eval", trial.paths.testData, trial.paths.submission, trial.paths.report},
      envp.data(), trial.folder.Path("stdout.txt"), trial.folder.Path("stderr.txt"));
  if (waitStatus == -1) throw std::runtime_error("cannot start " ZOBNIKARI_PROGRAM);
  const int status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
  const std::optional<std::string> err = trial.folder.Read("stderr.txt");
  const std::optional<std::string> calls = trial.folder.Read("calls.txt");
  if (!calls) {
    throw std::runtime_error("main did not return: status " + std::to_string(status) +
                             ", standard error \"" + err.value_or("") + "\"");
  }
  return {std::stoll(*calls) >= trial.failAt, status, trial.folder.Read("report.txt"), err};
}

TEST(ProcessFaults, EveryFailingCallOfTheProgramGivesAnAllowedOutcome) {
  std::vector<cases::ReportCase> rows = faults::Rows();
  // Large enough for the finishing orders' block to be mapped (mmap).
  rows.push_back(faults::Generated("one_test_case_of_1000_by_1000", 1, 1000, 1000));
  faults::ForEachFault("faults in whole runs:", rows,
                       {{"posix/stdio/oc/fopen", FaultPoint::kOpen},
                        {"posix/stdio/rw/fread", FaultPoint::kRead},
                        {"posix/stdio/rw/fwrite", FaultPoint::kWrite},
                        // Closing an input that was read to its end cannot change the report.
                        {"posix/stdio/oc/fclose", FaultPoint::kClose, true},
                        {"libc/mm/malloc", FaultPoint::kAllocate},
                        {"libc/mm/realloc", FaultPoint::kAllocate},
                        {"posix/mm/mmap", FaultPoint::kAllocate, false, false}},
                       {faults::Mode::kOnce, faults::Mode::kPersistent, faults::Mode::kPartial},
                       RunProgram, faults::JudgeRun);
}

}  // namespace
}  // namespace zobnikari
