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

// Which of the run's files a failure concerns.
enum class FileRole { kTestData, kSubmission, kReport };

// What the system failed to do to a file.
enum class FileOperation { kOpen, kRead, kWrite, kClose };

// A failure of the system with one of the run's files, classified where it
// happened. Holds no path (the run knows which path each role has) and
// allocates nothing.
struct IoFailure {
  FileRole role;
  FileOperation operation;
  SystemError error;
  // True for a fault of the machine that may pass (an I/O error, memory or
  // file handles run out, a network share that dropped); false for what
  // names something to set right where the report goes (no such folder, no
  // permission, a full or read-only disk). An input's failures are all the
  // machine's: what names no readable file reads as an empty one.
  bool machine;
};

// An input file, opened by its path and read from start to end in binary
// mode. The object owns the file and closes it.
class InputFile {
 public:
  // An input that reads as an empty file.
  InputFile() = default;

  // Opens path, the run's file of role, for reading. A path that names
  // nothing readable as a file (not found, a path through a non-folder, a
  // name too long, a loop of links, access refused, a folder) gives an input
  // that reads as an empty file. Throws IoFailure for any other failure.
  static InputFile Open(const std::string& path, FileRole role);

  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&&) = delete;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() { Close(); }

  // Reads up to size bytes into buffer and returns how many it read: fewer
  // than size only at the end of the file, and 0 once the file has ended or
  // is closed. Throws IoFailure when the system fails to read: a short read
  // that the system marks as failed is a failure, whether or not it also
  // reached the end of the file.
  std::size_t Read(char* buffer, std::size_t size);

  // Returns true while the file is open: not an input that reads as empty,
  // nor closed.
  bool IsOpen() const { return handle_ != nullptr; }

  // Closes the file: later reads return 0.
  void Close();

 private:
  void* handle_ = nullptr;  // std::FILE*, or on Windows the file's HANDLE
  FileRole role_ = FileRole::kTestData;
};

// The report: a file opened for writing in text mode ("wt": on Windows each
// line feed written reaches the file as CR LF), created or truncated. Writes
// allocate nothing, so that a report can be written when memory has run out;
// after the first failed write the others are skipped. Every failure is an
// IoFailure of role kReport, classified by the errno table of the platform's
// C library.
class ReportFile {
 public:
  // Opens path, created or truncated. Throws IoFailure when it cannot be
  // opened.
  explicit ReportFile(const std::string& path);
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  // Closes the file if Close has not, whatever became of its bytes.
  ~ReportFile();

  // Writes bytes. Returns false when this or an earlier write failed; the
  // first failure is kept for Close.
  bool Write(std::string_view bytes);

  // Flushes and closes the file. Throws IoFailure, the first failure of a
  // write or of the close, when not every byte reached it. REQUIRES: called
  // once.
  void Close();

  // Empties the file at path, if the system lets it: for a report that a
  // failure cut short.
  static void Empty(const std::string& path);

 private:
  // Remembers the failure of operation with errno's code, unless one came
  // first.
  void Fail(FileOperation operation, int code);

  std::FILE* file_ = nullptr;
  bool ok_ = true;
  IoFailure failure_{};
};

// Writes the pieces to standard error, one after another, allocating
// nothing: on POSIX straight to the descriptor, again after an interrupted or
// short write; on Windows in text mode (each LF as CR LF), as the report.
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
// opening a file (an input or the report), reading an input, writing the
// report (also flushing it), closing the report, taking memory
// (AllocateLarge, ResizeBlock), and, on POSIX, writing to standard error.
enum class FaultPoint { kOpen, kRead, kWrite, kClose, kAllocate, kStandardError };

// How the fault hook makes one call fail. A read or write first moves
// bytesFirst bytes (at most what it was asked for), then fails; on standard
// error that is a short write, and a write that moves nothing fails with the
// error. The error is the system's own: errno's value (on Windows the inputs
// also take a Windows code); an errno code of 0 makes the call fail without
// saying why, as a C library may. For an allocation only fails counts.
struct Fault {
  bool fails = false;  // false: the call goes ahead
  SystemError error;
  std::size_t bytesFirst = 0;
};

// Asked before each call at a fault point: returns how the call fails, if it
// does.
using FaultHook = Fault (*)(FaultPoint point);

// Sets the hook that every fault point asks; nullptr, the program's own
// setting, lets every call go ahead. For tests.
void SetFaultHook(FaultHook hook);

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_PLATFORM_H_
