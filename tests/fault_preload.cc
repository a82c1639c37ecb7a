// Preloaded into a whole run of the program, before libfiu's POSIX preload
// (which wraps fopen, fread, fwrite, fclose, malloc, realloc, mmap and more):
// from the start of main to its return, counts the calls at one of libfiu's
// failure points and fails the Nth, or every call from the Nth on, or makes
// the Nth fread or fwrite move part of what it was asked and then fail.
//   ZOBNIKARI_FAULT_POINT  the point, e.g. posix/stdio/rw/fread
//   ZOBNIKARI_FAULT_MODE   once, persistent or partial
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

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Main = int (*)(int, char**, char**);

Main programMain = nullptr;
bool armed = false;
bool persistent = false;
bool partial = false;
const char* point = "";
int error = 0;
long calls = 0;
long failAt = 0;
std::FILE* failedStream = nullptr;  // the stream whose read or write failed partway

// libfiu asks this at every call at the point: fail the Nth (or every one
// from the Nth on) while armed.
int Decide(const char*, int*, void**, unsigned int*) {
  if (!armed) return 0;
  ++calls;
  return calls == failAt || (persistent && calls > failAt) ? 1 : 0;
}

// Returns true when this call at name is the one that the partial mode fails.
bool FailsPartway(const char* name) {
  return armed && partial && std::strcmp(name, point) == 0 && ++calls == failAt;
}

// Returns part of count items: fewer than all, at most 100.
std::size_t Part(std::size_t count) { return count - 1 < 100 ? count - 1 : 100; }

// Marks stream as failed after moving moved items, and returns them.
std::size_t Failed(std::FILE* stream, std::size_t moved) {
  failedStream = stream;
  errno = error;
  return moved;
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
  const char* mode = std::getenv("ZOBNIKARI_FAULT_MODE");
  const char* at = std::getenv("ZOBNIKARI_FAULT_AT");
  const char* code = std::getenv("ZOBNIKARI_FAULT_ERRNO");
  const char* callsPath = std::getenv("ZOBNIKARI_FAULT_CALLS");
  point = std::getenv("ZOBNIKARI_FAULT_POINT");
  if (point == nullptr || mode == nullptr || at == nullptr || code == nullptr ||
      callsPath == nullptr)
    std::abort();
  persistent = std::strcmp(mode, "persistent") == 0;
  partial = std::strcmp(mode, "partial") == 0;
  failAt = std::atol(at);
  error = std::atoi(code);
  fiu_init(0);
  if (!partial && fiu_enable_external(point, 1, reinterpret_cast<void*>(static_cast<long>(error)),
                                      0, Decide) != 0)
    std::abort();
  armed = true;
  const int status = programMain(argc, argv, envp);
  armed = false;
  WriteCalls(callsPath);
  return status;
}

}  // namespace

// In the partial mode: fread and fwrite move part of what they were asked,
// then fail; ferror tells of it. (The program uses no stream after one failed.)
extern "C" std::size_t fread(void* buffer, std::size_t size, std::size_t count, std::FILE* stream) {
  static const auto next = reinterpret_cast<decltype(&fread)>(dlsym(RTLD_NEXT, "fread"));
  if (count == 0 || !FailsPartway("posix/stdio/rw/fread")) return next(buffer, size, count, stream);
  return Failed(stream, next(buffer, size, Part(count), stream));
}
extern "C" std::size_t fwrite(const void* buffer, std::size_t size, std::size_t count,
                              std::FILE* stream) {
  static const auto next = reinterpret_cast<decltype(&fwrite)>(dlsym(RTLD_NEXT, "fwrite"));
  if (count == 0 || !FailsPartway("posix/stdio/rw/fwrite"))
    return next(buffer, size, count, stream);
  return Failed(stream, next(buffer, size, Part(count), stream));
}
extern "C" int ferror(std::FILE* stream) {
  static const auto next = reinterpret_cast<decltype(&ferror)>(dlsym(RTLD_NEXT, "ferror"));
  return stream == failedStream ? 1 : next(stream);
}

// The C library starts main through this; the preload hands it CountedMain.
extern "C" int __libc_start_main(Main main, int argc, char** argv, void (*init)(), void (*fini)(),
                                 void (*rtldFini)(), void* stackEnd) {
  using Start = int (*)(Main, int, char**, void (*)(), void (*)(), void (*)(), void*);
  const Start start = reinterpret_cast<Start>(dlsym(RTLD_NEXT, "__libc_start_main"));
  if (start == nullptr) std::abort();
  programMain = main;
  return start(CountedMain, argc, argv, init, fini, rtldFini, stackEnd);
}
