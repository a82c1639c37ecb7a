#include "common/platform.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// shellapi.h needs the types of windows.h, so it must come second.
#include <shellapi.h>
#else
#include <sys/stat.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zobnikari {

#ifdef _WIN32

namespace {

// Returns the UTF-16 form of a UTF-8 string.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return wide;
}

// Returns the UTF-8 form of a UTF-16 string.
std::string Narrow(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, nullptr, nullptr);
  narrow.resize(static_cast<std::size_t>(size) - 1);
  return narrow;
}

// Fills info with the identity of the file at path. Returns false when the
// path names nothing that can be asked.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE handle =
      CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BOOL ok = GetFileInformationByHandle(handle, info);
  CloseHandle(handle);
  return ok != 0;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return arguments;
}

std::FILE* OpenForReading(const std::string& path) { return _wfopen(Widen(path).c_str(), L"rb"); }

std::FILE* OpenReportFile(const std::string& path) { return _wfopen(Widen(path).c_str(), L"wt"); }

bool SameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  if (!FileIdentity(first, &a) || !FileIdentity(second, &b)) return false;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

#else

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* OpenReportFile(const std::string& path) { return std::fopen(path.c_str(), "w"); }

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a;
  struct stat b;
  if (stat(first.c_str(), &a) != 0 || stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

#endif

std::string LastErrorText() { return std::strerror(errno); }

#ifdef __linux__

namespace {

// Returns bytes rounded up to a multiple of unit, a power of two.
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
  if (bytes < kLargePage) return std::malloc(bytes);
  const std::size_t length = MappedLength(bytes);
  // Map a large page more than needed, then give back what lies before the
  // first large-page boundary and after the block.
  if (length > SIZE_MAX - kLargePage) return nullptr;
  void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = RoundUp(start, kLargePage);
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

#else

void* AllocateLarge(std::size_t bytes) { return std::malloc(bytes); }

void FreeLarge(void* block, std::size_t) { std::free(block); }

#endif

}  // namespace zobnikari
