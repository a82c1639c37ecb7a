// Preloaded into a whole run of the program, beside libfiu's POSIX preload
// (which wraps fopen, fread, fwrite, fclose, malloc, realloc, mmap and more):
// from the start of main to its return, counts the calls at one of libfiu's
// failure points and fails exactly the Nth. Set by the environment:
//   ZOBNIKARI_FAULT_POINT  the point, e.g. posix/stdio/rw/fread
//   ZOBNIKARI_FAULT_AT     N, counted from 1
//   ZOBNIKARI_FAULT_ERRNO  the errno value the failing call leaves
//   ZOBNIKARI_FAULT_CALLS  a file that receives, once main returns, the
//                          number of calls made at the point
// Calls before main (the C++ runtime's own) are out of reach and not counted.
#define FIU_ENABLE 1

#include <dlfcn.h>
#include <fcntl.h>
#include <fiu-control.h>
#include <fiu.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using Main = int (*)(int, char**, char**);

Main programMain = nullptr;
bool armed = false;
long calls = 0;
long failAt = 0;

// libfiu asks this at every call at the point: fail the Nth while armed.
int Decide(const char*, int*, void**, unsigned int*) {
  if (!armed) return 0;
  return ++calls == failAt ? 1 : 0;
}

// Writes the count of calls to the file at path, by system calls alone.
void WriteCalls(const char* path) {
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%ld\n", calls);
  const int file = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file < 0) return;
  if (write(file, text, static_cast<std::size_t>(length)) != length) std::abort();
  close(file);
}

// Runs the program's main with the point armed.
int CountedMain(int argc, char** argv, char** envp) {
  const char* point = std::getenv("ZOBNIKARI_FAULT_POINT");
  const char* at = std::getenv("ZOBNIKARI_FAULT_AT");
  const char* error = std::getenv("ZOBNIKARI_FAULT_ERRNO");
  const char* callsPath = std::getenv("ZOBNIKARI_FAULT_CALLS");
  if (point == nullptr || at == nullptr || error == nullptr || callsPath == nullptr) std::abort();
  failAt = std::atol(at);
  fiu_init(0);
  if (fiu_enable_external(point, 1, reinterpret_cast<void*>(std::atol(error)), 0, Decide) != 0)
    std::abort();
  armed = true;
  const int status = programMain(argc, argv, envp);
  armed = false;
  WriteCalls(callsPath);
  return status;
}

}  // namespace

// The C library starts main through this; the preload hands it CountedMain.
extern "C" int __libc_start_main(Main main, int argc, char** argv, void (*init)(), void (*fini)(),
                                 void (*rtldFini)(), void* stackEnd) {
  using Start = int (*)(Main, int, char**, void (*)(), void (*)(), void (*)(), void*);
  const Start start = reinterpret_cast<Start>(dlsym(RTLD_NEXT, "__libc_start_main"));
  if (start == nullptr) std::abort();
  programMain = main;
  return start(CountedMain, argc, argv, init, fini, rtldFini, stackEnd);
}
