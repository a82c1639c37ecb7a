// The platform layer's code that every platform shares: the fault hook, the
// errno tables of the C library, the report file (a C stream everywhere) and
// blocks that grow. platform_posix.cc and platform_windows.cc hold the rest.
#include "common/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/platform_internal.h"

namespace zobnikari {

namespace {

FaultHook faultHook = nullptr;

// Returns the report's failure of operation with errno's code.
IoFailure ReportFailure(FileOperation operation, int code) {
  return {FileRole::kReport,
          operation,
          {SystemError::Source::kErrno, code},
          platform::IsReportMachineFault(code)};
}

}  // namespace

void SetFaultHook(FaultHook hook) { faultHook = hook; }

namespace platform {

Fault Ask(FaultPoint point) {
  errno = 0;
  return faultHook == nullptr ? Fault() : faultHook(point);
}

std::size_t Moved(const Fault& fault, std::size_t size) {
  return fault.fails ? std::min(fault.bytesFirst, size) : size;
}

int FailedErrno(const Fault& fault) {
  const int code = fault.fails && fault.error.code != 0 ? fault.error.code : errno;
  return code != 0 ? code : EIO;
}

bool ErrnoReadsAsEmpty(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case EACCES:
    case EPERM:
    case EISDIR:
    case ELOOP:
      return true;
    default:
      return false;
  }
}

bool ErrnoNamesSetting(int code) {
  if (ErrnoReadsAsEmpty(code)) return true;
  switch (code) {
    case EROFS:
    case ENOSPC:
    case EFBIG:
    case EEXIST:
    case EINVAL:
    case ETXTBSY:
      return true;
    default:
      return false;
  }
}

}  // namespace platform

using platform::Ask;
using platform::FailedErrno;

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_), role_(other.role_) {
  other.handle_ = nullptr;
}

ReportFile::ReportFile(const std::string& path) {
  const Fault fault = Ask(FaultPoint::kOpen);
  file_ = fault.fails ? nullptr : platform::OpenForWriting(path);
  if (file_ == nullptr) throw ReportFailure(FileOperation::kOpen, FailedErrno(fault));
}

ReportFile::~ReportFile() {
  if (file_ != nullptr) std::fclose(file_);
}

bool ReportFile::Write(std::string_view bytes) {
  if (!ok_) return false;
  const Fault fault = Ask(FaultPoint::kWrite);
  const std::size_t wanted = platform::Moved(fault, bytes.size());
  if (std::fwrite(bytes.data(), 1, wanted, file_) != wanted || fault.fails)
    Fail(FileOperation::kWrite, FailedErrno(fault));
  return ok_;
}

void ReportFile::Close() {
  std::FILE* file = file_;
  file_ = nullptr;
  // A full disk may show itself only here, when the buffered bytes go out.
  // They go out before the close, so that nothing is left to reach the file
  // after a close that failed.
  Fault fault = Ask(FaultPoint::kWrite);
  if (fault.fails || std::fflush(file) != 0) Fail(FileOperation::kWrite, FailedErrno(fault));
  fault = Ask(FaultPoint::kClose);
  if (std::fclose(file) != 0 || fault.fails) Fail(FileOperation::kClose, FailedErrno(fault));
  if (!ok_) throw failure_;
}

void ReportFile::Empty(const std::string& path) {
  std::FILE* file = platform::OpenForWriting(path);
  if (file != nullptr) std::fclose(file);
}

void ReportFile::Fail(FileOperation operation, int code) {
  if (!ok_) return;
  ok_ = false;
  failure_ = ReportFailure(operation, code);
}

bool WriteStandardOutput(std::string_view bytes, SystemError& error) {
  platform::KeepStandardOutputBytes();
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
      std::fflush(stdout) == 0) {
    return true;
  }
  error = SystemError{SystemError::Source::kErrno, FailedErrno(Fault())};
  return false;
}

void* ResizeBlock(void* block, std::size_t bytes) {
  if (Ask(FaultPoint::kAllocate).fails) return nullptr;
  return std::realloc(block, bytes);
}

void FreeBlock(void* block) { std::free(block); }

}  // namespace zobnikari
