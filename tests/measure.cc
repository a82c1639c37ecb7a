// Runs a program and measures it alone, for the tests that bound a run's time
// and memory:
//   zobnikari_measure [--address-space-mib N] <stats file> <program> [arguments...]
// With --address-space-mib the program may map at most N MiB (RLIMIT_AS), so
// that its memory runs out where a larger machine's would.
// The program is this launcher's only child, forked while the launcher is
// small: a child's peak memory counts from its parent's at the fork, so the
// figure is then the program's own. Writes "<status> <peak KiB> <wall seconds>
// <CPU seconds>" to the stats file (status: the exit status, or minus the
// signal that ended it; CPU time: user and system time together, which other
// work on the machine does not stretch as it stretches wall time) and exits 0;
// exits 127 when the program cannot be run.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  rlim_t addressSpace = RLIM_INFINITY;
  if (argc >= 3 && std::strcmp(argv[1], "--address-space-mib") == 0) {
    addressSpace = static_cast<rlim_t>(std::strtoull(argv[2], nullptr, 10)) << 20;
    argc -= 2;
    argv += 2;
  }
  if (argc < 3) {
    std::fputs(
        "usage: zobnikari_measure [--address-space-mib N] <stats file> <program> [arguments...]\n",
        stderr);
    return 127;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return 127;
  if (pid == 0) {
    const struct rlimit limit = {addressSpace, addressSpace};
    if (addressSpace != RLIM_INFINITY && setrlimit(RLIMIT_AS, &limit) != 0) _exit(127);
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int waitStatus = 0;
  struct rusage usage {};
  if (wait4(pid, &waitStatus, 0, &usage) != pid) return 127;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
  const double cpuSeconds =
      static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  std::FILE* stats = std::fopen(argv[1], "w");
  if (stats == nullptr) return 127;
  std::fprintf(stats, "%d %ld %.6f %.6f\n", status, usage.ru_maxrss, seconds, cpuSeconds);
  return std::fclose(stats) == 0 ? 0 : 127;
}
