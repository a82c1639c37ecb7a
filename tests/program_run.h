// Runs a program as a child process and measures that child alone: how it
// ended, its wall time, its CPU time and its peak resident memory, with what
// it wrote to standard output and standard error. POSIX only; the measuring is
// done by the zobnikari_measure launcher, whose path the build gives as
// ZOBNIKARI_MEASURE.
#ifndef ZOBNIKARI_TESTS_PROGRAM_RUN_H_
#define ZOBNIKARI_TESTS_PROGRAM_RUN_H_

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "spawn.h"

#ifndef ZOBNIKARI_MEASURE
#error "ZOBNIKARI_MEASURE must name the zobnikari_measure launcher"
#endif

extern char** environ;

namespace zobnikari {

// How one run of a child process went.
struct ProgramRun {
  bool measured = false;  // the program ran and its figures were taken
  int status = -1;        // its exit status, or minus the signal that ended it
  double seconds = 0;     // wall time from its start to its end
  double cpuSeconds = 0;  // the CPU time it used, user and system together
  long peakKiB = 0;       // its peak resident memory
  std::string out;        // what it wrote to standard output
  std::string err;        // what it wrote to standard error
};

// Returns the bytes of path, or an empty string when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Returns the folder group/name under the working directory, made afresh:
// whatever an earlier run left there is removed.
inline std::filesystem::path FreshFolder(const std::string& group, const std::string& name) {
  const std::filesystem::path folder = std::filesystem::absolute(group) / name;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  return folder;
}

// Returns command as this machine starts it. A cross-compiled build's
// programs (the launcher, the program) run under the emulator that the build
// names in ZOBNIKARI_EMULATOR, its words separated by '|': the emulator's
// words come first. The machine cannot start such a program by itself, nor
// can an emulated process start one, so the launcher then measures the
// emulator running the program, the emulator's own time and memory included.
inline std::vector<std::string> Started(std::vector<std::string> command) {
#ifdef ZOBNIKARI_EMULATOR
  const std::string words = ZOBNIKARI_EMULATOR;
  std::vector<std::string> emulator;
  for (std::size_t start = 0;;) {
    const std::size_t bar = words.find('|', start);
    emulator.push_back(words.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  command.insert(command.begin(), emulator.begin(), emulator.end());
#endif
  return command;
}

// Runs command (the program's path first, then its arguments) through the
// launcher and waits for it; with addressSpaceMiB above 0 the program may map
// no more than that. Standard output and standard error go to the files
// stdout.txt and stderr.txt in folder, the launcher's figures to measure.txt
// there.
inline ProgramRun RunProgram(const std::vector<std::string>& command,
                             const std::filesystem::path& folder, int addressSpaceMiB = 0) {
  ProgramRun run;
  const std::string outPath = (folder / "stdout.txt").string();
  const std::string errPath = (folder / "stderr.txt").string();
  const std::string statsPath = (folder / "measure.txt").string();
  std::vector<std::string> launch = Started({ZOBNIKARI_MEASURE});
  if (addressSpaceMiB > 0) {
    launch.push_back("--address-space-mib");
    launch.push_back(std::to_string(addressSpaceMiB));
  }
  launch.push_back(statsPath);
  const std::vector<std::string> started = Started(command);
  launch.insert(launch.end(), started.begin(), started.end());
  const int waitStatus = SpawnAndWait(launch, environ, outPath, errPath);
  if (waitStatus == -1 || !WIFEXITED(waitStatus) || WEXITSTATUS(waitStatus) != 0) return run;

  std::ifstream stats(statsPath);
  run.measured =
      static_cast<bool>(stats >> run.status >> run.peakKiB >> run.seconds >> run.cpuSeconds);
  run.out = ReadWholeFile(outPath);
  run.err = ReadWholeFile(errPath);
  return run;
}

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_PROGRAM_RUN_H_
