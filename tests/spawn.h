// Starts a program as a child process with its standard output and standard
// error in files, and waits for it. POSIX only.
#ifndef ZOBNIKARI_TESTS_SPAWN_H_
#define ZOBNIKARI_TESTS_SPAWN_H_

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

namespace zobnikari {

// Runs command (the program's path first, then its arguments) with the
// environment envp (a null-terminated array), standard output and standard
// error going to the files outPath and errPath, created or truncated.
// Returns the wait status, or -1 when the program could not be started.
inline int SpawnAndWait(std::vector<std::string> command, char* const* envp,
                        const std::string& outPath, const std::string& errPath) {
  std::vector<char*> argv;
  for (std::string& argument : command) argv.push_back(&argument[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp);
  posix_spawn_file_actions_destroy(&actions);
  int waitStatus = 0;
  if (spawned != 0 || waitpid(pid, &waitStatus, 0) != pid) return -1;
  return waitStatus;
}

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_SPAWN_H_
