// The platform layer on POSIX systems (Linux, and the WebAssembly build's
// emscripten): files through the C library, standard error through its
// descriptor, and on Linux large blocks of memory on large pages.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/platform.h"
#include "common/platform_internal.h"

namespace zobnikari {

using platform::Ask;
using platform::FailedErrno;

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

const char* ErrorText(SystemError error) { return std::strerror(error.code); }

InputFile InputFile::Open(const std::string& path, FileRole role) {
  InputFile file;
  file.role_ = role;
  const Fault fault = Ask(FaultPoint::kOpen);
  std::FILE* stream = fault.fails ? nullptr : std::fopen(path.c_str(), "rb");
  if (stream == nullptr) {
    const int code = FailedErrno(fault);
    if (platform::ErrnoReadsAsEmpty(code)) return file;
    throw IoFailure{role, FileOperation::kOpen, {SystemError::Source::kErrno, code}, true};
  }
  file.handle_ = stream;
  // The line reader asks for large blocks itself; a buffer in the stream
  // would only copy every byte once more.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  // fopen opens a folder here, and only its reads fail: look at what was
  // opened. (Where the system cannot say, the reads will.)
  struct stat info;
  if (fstat(fileno(stream), &info) == 0 && S_ISDIR(info.st_mode)) file.Close();
  return file;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  if (handle_ == nullptr) return 0;
  std::FILE* stream = static_cast<std::FILE*>(handle_);
  const Fault fault = Ask(FaultPoint::kRead);
  const std::size_t got = std::fread(buffer, 1, platform::Moved(fault, size), stream);
  // An error is an error, whatever else the stream saw: a short read is the
  // end of the file only when the stream has no error to tell.
  if (fault.fails || std::ferror(stream) != 0) {
    throw IoFailure{
        role_, FileOperation::kRead, {SystemError::Source::kErrno, FailedErrno(fault)}, true};
  }
  return got;
}

void InputFile::Close() {
  if (handle_ != nullptr) std::fclose(static_cast<std::FILE*>(handle_));
  handle_ = nullptr;
}

std::FILE* platform::OpenForWriting(const std::string& path) {
  return std::fopen(path.c_str(), "w");
}

bool platform::IsReportMachineFault(int code) { return !ErrnoNamesSetting(code) && code != EDQUOT; }

void platform::KeepStandardOutputBytes() {}

void WriteStandardError(std::initializer_list<std::string_view> pieces) {
  // Straight to the descriptor: no stream, no buffer, nothing to allocate.
  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      const Fault fault = Ask(FaultPoint::kStandardError);
      ssize_t written = -1;
      if (fault.fails && fault.bytesFirst == 0) {
        errno = fault.error.code;
      } else {
        written = ::write(2, piece.data(), platform::Moved(fault, piece.size()));
      }
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return;
      piece.remove_prefix(static_cast<std::size_t>(written));
    }
  }
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a;
  struct stat b;
  if (stat(first.c_str(), &a) != 0 || stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace zobnikari

#ifdef __linux__

#include <sys/mman.h>

#include <cstdint>

namespace zobnikari {

namespace {

// Returns bytes rounded up to a multiple of unit, a power of two. REQUIRES:
// the sum does not overflow.
std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
  return (bytes + unit - 1) & ~(unit - 1);
}

// Returns the size of the system's pages: 4 KiB on x86-64, but 4, 16 or
// 64 KiB on 64-bit ARM, as the kernel was built. A mapping is given back in
// whole pages from a page boundary; one that starts elsewhere is refused.
std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

// Returns the length of the mapping behind a large block of bytes bytes:
// whole large pages where that adds at most an eighth, else whole pages
// (the large pages then cover all but its tail).
std::size_t MappedLength(std::size_t bytes) {
  const std::size_t large = RoundUp(bytes, kLargePage);
  return large - bytes <= bytes / 8 ? large : RoundUp(bytes, PageSize());
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  if (Ask(FaultPoint::kAllocate).fails) return nullptr;
  if (bytes < kLargePage) return std::malloc(bytes);
  // No system maps half the address space; refusing more keeps the sums
  // below from overflowing.
  if (bytes > SIZE_MAX / 2) return nullptr;
  const std::size_t length = MappedLength(bytes);
  // Map a large page more than needed, then give back what lies before the
  // first large-page boundary and after the block.
  void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = RoundUp(start, kLargePage);
  // munmap of nothing fails harmlessly, so the tests of these lengths are
  // only there to save a call.
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t after = aligned + length;
  const std::uintptr_t mappedEnd = start + length + kLargePage;
  if (mappedEnd > after) munmap(reinterpret_cast<void*>(after), mappedEnd - after);
  void* block = reinterpret_cast<void*>(aligned);
  // Only advice: without large pages the block works as well, only slower.
  madvise(block, length, MADV_HUGEPAGE);
  return block;
}

void FreeLarge(void* block, std::size_t bytes) {
  if (bytes < kLargePage) {
    std::free(block);
  } else if (block != nullptr) {
    munmap(block, MappedLength(bytes));
  }
}

}  // namespace zobnikari

#else

namespace zobnikari {

void* AllocateLarge(std::size_t bytes) {
  if (Ask(FaultPoint::kAllocate).fails) return nullptr;
  return std::malloc(bytes);
}

void FreeLarge(void* block, std::size_t) { std::free(block); }

}  // namespace zobnikari

#endif
