// The few places where the evaluator touches the operating system: the
// command line, the input files and the report file, standard error, telling
// whether two paths name the same file, and large blocks of memory. Paths are
// UTF-8 byte strings on every platform.
#ifndef ZOBNIKARI_COMMON_PLATFORM_H_
#define ZOBNIKARI_COMMON_PLATFORM_H_

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zobnikari {

// Returns the program's arguments, program name first. On Windows they are
// taken from the wide-character command line and converted to UTF-8, so that
// every path survives whatever the ANSI code page; elsewhere they are argv.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// An error that the system reported: errno's value, or on Windows, for the
// input files, the system's own code (GetLastError).
struct SystemError {
  enum class Source { kErrno, kWindows };
  Source source = Source::kErrno;
  int code = 0;
};

// Returns the system's text for error, without allocating: the text stays
// valid until the next call.
const char* ErrorText(SystemError error);

// Returns true when error, met while the report was opened, written or
// closed, is a fault of the machine that may pass (an I/O error, memory or
// file handles run out), false when it names something to set right where
// the report goes (no such folder, no permission, a full or read-only disk).
bool IsMachineFault(SystemError error);

// A fault of the machine while an input file was opened or read: the file
// exists, or may, but the system failed (an I/O error, a network share that
// dropped, no memory or file handles left). It is never the inputs' defect,
// so it is neither a validation failure nor an unexpected failure: the run
// ends without a report. Allocates nothing.
struct MachineFault {
  enum class Operation { kOpen, kRead };
  Operation operation;
  const char* path;  // the file's path as given, owned by the caller
  SystemError error;
};

// An input file, opened by its path and read from start to end in binary
// mode. The object owns the file and closes it.
class InputFile {
 public:
  // An input that reads as an empty file.
  InputFile() = default;

  // Opens path for reading. A path that names nothing readable as a file
  // (not found, a path through a non-folder, a name too long, a loop of
  // links, access refused, a folder) gives an input that reads as an empty
  // file. Throws MachineFault for any other failure. REQUIRES: path outlives
  // the object (a fault names it).
  static InputFile Open(const std::string& path);

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() { Close(); }

  // Reads up to size bytes into buffer and returns how many it read: fewer
  // than size only at the end of the file, and 0 once the file has ended or
  // is closed. Throws MachineFault when the system fails to read.
  std::size_t Read(char* buffer, std::size_t size);

  // Returns true while the file is open: not an input that reads as empty,
  // nor closed.
  bool IsOpen() const { return handle_ != nullptr; }

  // Closes the file: later reads return 0.
  void Close();

 private:
  void* handle_ = nullptr;  // std::FILE*, or on Windows the file's HANDLE
  const char* path_ = "";   // for faults
};

// The report: a file opened for writing in text mode ("wt": on Windows each
// line feed written reaches the file as CR LF), created or truncated. Writes
// allocate nothing, so that a report can be written when memory has run out;
// after the first failed write the others are skipped.
class ReportFile {
 public:
  ReportFile() = default;
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile();

  // Opens path, created or truncated. Returns false when it cannot be
  // opened; error() then tells why.
  bool Open(const std::string& path);

  // Writes bytes. Returns false when this or an earlier write failed.
  // REQUIRES: the file is open.
  bool Write(std::string_view bytes);

  // Closes the file. Returns true when every byte reached it; else error()
  // tells why. REQUIRES: the file is open.
  bool Close();

  // Returns the error of the first failure.
  SystemError error() const { return error_; }

 private:
  // Remembers code (errno's value, 0 for none) as the failure, unless one
  // came first.
  void Fail(int code);

  std::FILE* file_ = nullptr;
  bool ok_ = true;
  SystemError error_;
};

// Writes the pieces to standard error, one after another, allocating
// nothing. On Windows in text mode (each LF as CR LF), as the report.
void WriteStandardError(std::initializer_list<std::string_view> pieces);

// Writes bytes to standard output as they are, on every platform (on Windows
// in binary mode: an LF stays an LF), and flushes them. Returns false when
// that fails, error then telling why.
bool WriteStandardOutput(std::string_view bytes, SystemError& error);

// Returns true when both paths exist and name one and the same file (the same
// device and file index), however differently they are spelled.
bool SameFile(const std::string& first, const std::string& second);

// Returns a block of bytes bytes, aligned for any type, or nullptr when the
// system has no memory for it. Where the system lends large pages without
// privileges (Linux's transparent huge pages), a block of at least
// kLargePage bytes starts on a large-page boundary and is advised to use
// them; its length is rounded up to whole large pages when that adds at most
// an eighth. Elsewhere it is ordinary memory. REQUIRES: bytes > 0.
void* AllocateLarge(std::size_t bytes);

// Releases a block of AllocateLarge. REQUIRES: block came from
// AllocateLarge(bytes), or is nullptr.
void FreeLarge(void* block, std::size_t bytes);

// The size of a large page, where the system lends them.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

// Returns block (nullptr: none yet) resized to bytes, its bytes kept up to
// the smaller size, perhaps moved; or nullptr, block untouched, when memory
// runs out. Free with FreeBlock. REQUIRES: bytes > 0.
void* ResizeBlock(void* block, std::size_t bytes);

// Releases a block of ResizeBlock, or nullptr.
void FreeBlock(void* block);

// The points where a test can make this layer's calls to the system fail:
// opening a file (an input or the report), reading an input, writing or
// closing the report, and taking memory (AllocateLarge, ResizeBlock).
enum class FaultPoint { kOpen, kRead, kWrite, kAllocate };

// Asked before each call at a fault point: returns 0 to let the call go
// ahead, or the error code the call then fails with (errno's value; on
// Windows the system's own code for opening and reading an input; for an
// allocation any nonzero value).
using FaultHook = int (*)(FaultPoint point);

// Sets the hook that every fault point asks; nullptr, the program's own
// setting, lets every call go ahead. For tests.
void SetFaultHook(FaultHook hook);

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_PLATFORM_H_
