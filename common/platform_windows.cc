// The platform layer on Windows: the command line and every path in UTF-16
// (any Unicode name, whatever the ANSI code page), the inputs through the
// system's own calls and codes, the report through the C library.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// shellapi.h needs the types of windows.h, so it must come second.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/platform.h"
#include "common/platform_internal.h"

namespace zobnikari {

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

// Returns true when an input whose opening failed with error reads as an
// empty file: it names nothing that can be read as a file. Any other code (a
// network path that cannot be reached, a sharing violation, no memory or
// handles left, a device error) is the machine's fault. An errno code (the
// fault hook's) goes by the C library's table.
bool ReadsAsEmpty(SystemError error) {
  if (error.source == SystemError::Source::kErrno) return platform::ErrnoReadsAsEmpty(error.code);
  switch (static_cast<DWORD>(error.code)) {
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

InputFile InputFile::Open(const std::string& path, FileRole role) {
  const std::wstring wide = Widen(path);
  InputFile file;
  file.role_ = role;
  const Fault fault = platform::Ask(FaultPoint::kOpen);
  const HANDLE handle =
      fault.fails ? INVALID_HANDLE_VALUE
                  : CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const SystemError error =
        fault.fails ? fault.error
                    : SystemError{SystemError::Source::kWindows, static_cast<int>(GetLastError())};
    if (ReadsAsEmpty(error)) return file;
    throw IoFailure{role, FileOperation::kOpen, error, true};
  }
  file.handle_ = handle;
  return file;
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  if (handle_ == nullptr) return 0;
  std::size_t total = 0;
  while (total < size) {
    const Fault fault = platform::Ask(FaultPoint::kRead);
    const std::size_t left = platform::Moved(fault, size - total);
    const DWORD wanted = left < (DWORD{1} << 30) ? static_cast<DWORD>(left) : DWORD{1} << 30;
    DWORD got = 0;
    const bool read = ReadFile(static_cast<HANDLE>(handle_), buffer + total, wanted, &got, nullptr);
    if (fault.fails) throw IoFailure{role_, FileOperation::kRead, fault.error, true};
    if (!read) {
      const DWORD code = GetLastError();
      // A pipe whose writer has gone has ended, as a file has.
      if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE) break;
      throw IoFailure{role_,
                      FileOperation::kRead,
                      {SystemError::Source::kWindows, static_cast<int>(code)},
                      true};
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

std::FILE* platform::OpenForWriting(const std::string& path) {
  return _wfopen(Widen(path).c_str(), L"wt");
}

bool platform::IsReportMachineFault(int code) { return !ErrnoNamesSetting(code); }

void platform::KeepStandardOutputBytes() {
  static const bool binary = _setmode(_fileno(stdout), _O_BINARY) != -1;
  static_cast<void>(binary);
}

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

void* AllocateLarge(std::size_t bytes) {
  if (platform::Ask(FaultPoint::kAllocate).fails) return nullptr;
  return std::malloc(bytes);
}

void FreeLarge(void* block, std::size_t) { std::free(block); }

}  // namespace zobnikari
