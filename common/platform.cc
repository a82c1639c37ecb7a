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
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace zobnikari {

namespace {

FaultHook faultHook = nullptr;

// Returns 0 when the call at point may go ahead, else the error code it fails
// with (see FaultHook).
int Injected(FaultPoint point) { return faultHook == nullptr ? 0 : faultHook(point); }

// Returns true when an input whose opening failed with errno's code reads
// as an empty file: it names nothing that can be read as a file. Any other
// code (no memory or file handles left, an I/O error, a stale network file
// system) is the machine's fault.
bool ErrnoReadsAsEmpty(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case EACCES:
    case EPERM:
    case EISDIR:
#ifdef ELOOP
    case ELOOP:
#endif
      return true;
    default:
      return false;
  }
}

// Returns true when errno's code, met while the report was opened, written
// or closed, is a fault of the machine; false for what names something to
// set right where the report goes: what an input would read as empty for,
// and a disk that is full or read-only, or a name it does not take.
bool IsErrnoMachineFault(int code) {
  if (ErrnoReadsAsEmpty(code)) return false;
  switch (code) {
    case EROFS:
    case ENOSPC:
    case EFBIG:
    case EEXIST:
    case EINVAL:
#ifdef EDQUOT
    case EDQUOT:
#endif
#ifdef ETXTBSY
    case ETXTBSY:
#endif
      return false;
    default:
      return true;
  }
}

}  // namespace

void SetFaultHook(FaultHook hook) { faultHook = hook; }

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

// Returns true when an input that CreateFileW failed to open with code reads
// as an empty file: it names nothing that can be read as a file. Any other
// code (a network path that cannot be reached, a sharing violation, no
// memory or handles left, a device error) is the machine's fault.
bool ReadsAsEmpty(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_CANT_RESOLVE_FILENAME:  // a loop of links
    case ERROR_ACCESS_DENIED:          // also a folder, which CreateFileW does not open
    case ERROR_DIRECTORY:
      return true;
    default:
      return false;
  }
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

bool IsMachineFault(SystemError error) {
  if (error.source == SystemError::Source::kWindows) {
    const DWORD code = static_cast<DWORD>(error.code);
    return !ReadsAsEmpty(code) && code != ERROR_DISK_FULL && code != ERROR_HANDLE_DISK_FULL &&
           code != ERROR_WRITE_PROTECT;
  }
  return IsErrnoMachineFault(error.code);
}

const char* ErrorText(SystemError error) {
  if (error.source == SystemError::Source::kErrno) return std::strerror(error.code);
  static char text[512];
  wchar_t wide[256];
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, static_cast<DWORD>(error.code), 0, wide, 256, nullptr);
  int size = 0;
  if (length > 0) {
    size = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text,
                               static_cast<int>(sizeof text) - 32, nullptr, nullptr);
  }
  // The system's sentences end in a full stop and a blank; the code follows.
  while (size > 0 && (text[size - 1] == ' ' || text[size - 1] == '.')) --size;
  std::snprintf(text + size, sizeof text - static_cast<std::size_t>(size), "%s(%d)",
                size > 0 ? " " : "", error.code);
  return text;
}

InputFile InputFile::Open(const std::string& path) {
  const std::wstring wide = Widen(path);
  InputFile file;
  file.path_ = path.c_str();
  DWORD code = static_cast<DWORD>(Injected(FaultPoint::kOpen));
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (code == 0) {
    handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) code = GetLastError();
  }
  if (handle == INVALID_HANDLE_VALUE) {
    if (ReadsAsEmpty(code)) return file;
    throw MachineFault{MachineFault::Operation::kOpen,
                       file.path_,
                       {SystemError::Source::kWindows, static_cast<int>(code)}};
  }
  file.handle_ = handle;
  return file;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  if (handle_ == nullptr) return 0;
  std::size_t total = 0;
  while (total < size) {
    const std::size_t left = size - total;
    const DWORD wanted = left < (DWORD{1} << 30) ? static_cast<DWORD>(left) : DWORD{1} << 30;
    DWORD got = 0;
    DWORD code = static_cast<DWORD>(Injected(FaultPoint::kRead));
    if (code == 0 && !ReadFile(static_cast<HANDLE>(handle_), buffer + total, wanted, &got, nullptr))
      code = GetLastError();
    // A pipe whose writer has gone has ended, as a file has.
    if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE) break;
    if (code != 0) {
      throw MachineFault{MachineFault::Operation::kRead,
                         path_,
                         {SystemError::Source::kWindows, static_cast<int>(code)}};
    }
    if (got == 0) break;
    total += got;
  }
  return total;
}

void InputFile::Close() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

namespace {

// Opens the report file at path in text mode, created or truncated.
std::FILE* OpenForWriting(const std::string& path) { return _wfopen(Widen(path).c_str(), L"wt"); }

}  // namespace

void WriteStandardError(std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) std::fwrite(piece.data(), 1, piece.size(), stderr);
}

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

bool IsMachineFault(SystemError error) { return IsErrnoMachineFault(error.code); }

const char* ErrorText(SystemError error) { return std::strerror(error.code); }

InputFile InputFile::Open(const std::string& path) {
  InputFile file;
  file.path_ = path.c_str();
  int code = Injected(FaultPoint::kOpen);
  std::FILE* stream = nullptr;
  if (code == 0) {
    stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) code = errno != 0 ? errno : EIO;
  }
  if (stream == nullptr) {
    if (ErrnoReadsAsEmpty(code)) return file;
    throw MachineFault{
        MachineFault::Operation::kOpen, file.path_, {SystemError::Source::kErrno, code}};
  }
  file.handle_ = stream;
  // The line reader asks for large blocks itself; a buffer in the stream
  // would only copy every byte once more.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  // fopen opens a folder here, and only its reads fail: look at what was
  // opened.
  struct stat info;
  if (fstat(fileno(stream), &info) != 0) {
    const int error = errno;
    file.Close();
    throw MachineFault{
        MachineFault::Operation::kOpen, file.path_, {SystemError::Source::kErrno, error}};
  }
  if (S_ISDIR(info.st_mode)) file.Close();
  return file;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  if (handle_ == nullptr) return 0;
  std::FILE* stream = static_cast<std::FILE*>(handle_);
  int code = Injected(FaultPoint::kRead);
  std::size_t got = 0;
  if (code == 0) {
    errno = 0;
    got = std::fread(buffer, 1, size, stream);
    // A short read is the end of the file only where the stream says so.
    if (got < size && !std::feof(stream)) code = errno != 0 ? errno : EIO;
  }
  if (code != 0) {
    throw MachineFault{MachineFault::Operation::kRead, path_, {SystemError::Source::kErrno, code}};
  }
  return got;
}

void InputFile::Close() {
  if (handle_ != nullptr) std::fclose(static_cast<std::FILE*>(handle_));
  handle_ = nullptr;
}

namespace {

// Opens the report file at path, created or truncated.
std::FILE* OpenForWriting(const std::string& path) { return std::fopen(path.c_str(), "w"); }

}  // namespace

void WriteStandardError(std::initializer_list<std::string_view> pieces) {
  // Straight to the descriptor: no stream, no buffer, nothing to allocate.
  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      const ssize_t written = ::write(2, piece.data(), piece.size());
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

#endif

bool WriteStandardOutput(std::string_view bytes, SystemError& error) {
#ifdef _WIN32
  static const bool binary = _setmode(_fileno(stdout), _O_BINARY) != -1;
  static_cast<void>(binary);
#endif
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
      std::fflush(stdout) == 0) {
    return true;
  }
  error = SystemError{SystemError::Source::kErrno, errno != 0 ? errno : EIO};
  return false;
}

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_), path_(other.path_) {
  other.handle_ = nullptr;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    path_ = other.path_;
    other.handle_ = nullptr;
  }
  return *this;
}

bool ReportFile::Open(const std::string& path) {
  const int code = Injected(FaultPoint::kOpen);
  file_ = code == 0 ? OpenForWriting(path) : nullptr;
  if (file_ == nullptr) {
    error_ = {SystemError::Source::kErrno, code != 0 ? code : errno};
    return false;
  }
  ok_ = true;
  return true;
}

ReportFile::~ReportFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ReportFile::Write(std::string_view bytes) {
  if (!ok_) return false;
  if (bytes.empty()) return true;
  int code = Injected(FaultPoint::kWrite);
  if (code == 0 && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    code = errno != 0 ? errno : EIO;
  Fail(code);
  return ok_;
}

bool ReportFile::Close() {
  std::FILE* file = file_;
  file_ = nullptr;
  // A full disk may show itself only here, when the buffered bytes go out.
  // They go out before the close, so that nothing is left to reach the file
  // after a close that failed.
  int code = Injected(FaultPoint::kWrite);
  if (code == 0 && std::fflush(file) != 0) code = errno != 0 ? errno : EIO;
  Fail(code);
  code = Injected(FaultPoint::kWrite);
  if (std::fclose(file) != 0 && code == 0) code = errno != 0 ? errno : EIO;
  Fail(code);
  return ok_;
}

void ReportFile::Fail(int code) {
  if (code == 0 || !ok_) return;
  ok_ = false;
  error_ = {SystemError::Source::kErrno, code};
}

void* ResizeBlock(void* block, std::size_t bytes) {
  if (Injected(FaultPoint::kAllocate) != 0) return nullptr;
  return std::realloc(block, bytes);
}

void FreeBlock(void* block) { std::free(block); }

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
  if (Injected(FaultPoint::kAllocate) != 0) return nullptr;
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

void* AllocateLarge(std::size_t bytes) {
  if (Injected(FaultPoint::kAllocate) != 0) return nullptr;
  return std::malloc(bytes);
}

void FreeLarge(void* block, std::size_t) { std::free(block); }

#endif

}  // namespace zobnikari
