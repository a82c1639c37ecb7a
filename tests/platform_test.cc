// The platform layer: how files are opened (inputs in binary mode, the report
// in text mode) and how their failures are told apart, paths outside the
// ANSI code page, telling whether two paths name the same file, standard
// error, and large blocks of memory.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "common/platform.h"
#include "fault_loop.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

using namespace std::string_literals;

// A folder name that Windows's ANSI code pages (1252 among them) cannot spell.
const std::string kFolder = "tekmovalec_\xc4\x8d";

// Returns every byte of the input at path, read in blocks of 256 bytes.
std::string ReadAll(const std::string& path) {
  InputFile file = InputFile::Open(path, FileRole::kTestData);
  std::string bytes;
  char block[256];
  for (std::size_t got; (got = file.Read(block, sizeof block)) > 0;) bytes.append(block, got);
  return bytes;
}

// Returns the bytes that the report at path holds once text was written and
// the file closed.
std::string WrittenReport(const std::string& path, const std::string& text) {
  ReportFile report(path);
  EXPECT_TRUE(report.Write(text));
  report.Close();
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(InputFile, GivesEveryByteAsItIsOnDisk) {
  // Binary mode: the line reader applies the text-mode rules itself, so the
  // system must not apply its own (CR LF to LF, a stop at Ctrl-Z) first.
  TempFolder folder;
  const std::string bytes("A\r\nB\x1a\r\nC\rD\n\0E", 14);
  EXPECT_EQ(ReadAll(folder.Write("in.txt", bytes)), bytes);
}

TEST(InputFile, ReadsWhatNamesNoReadableFileAsEmpty) {
  TempFolder folder;
  folder.Write("file.txt", "bytes\n");
  folder.MakeFolder("folder");
  const std::string tooLong(300, 'x');
  for (const std::string& name :
       {"missing.txt"s, "missing/in.txt"s, "file.txt/in.txt"s, "folder"s, tooLong}) {
    const std::string path = folder.Path(name);
    InputFile file = InputFile::Open(path, FileRole::kTestData);
    char byte;
    EXPECT_EQ(file.Read(&byte, 1), 0u) << name;
  }
#ifndef _WIN32
  // A loop of links.
  std::filesystem::create_symlink("b", std::filesystem::u8path(folder.Path("a")));
  std::filesystem::create_symlink("a", std::filesystem::u8path(folder.Path("b")));
  EXPECT_EQ(ReadAll(folder.Path("a")), "");
#endif
}

#ifdef _WIN32
constexpr SystemError::Source kInputErrors = SystemError::Source::kWindows;
#else
constexpr SystemError::Source kInputErrors = SystemError::Source::kErrno;
#endif

// How the fault hook makes the calls of one scope fail: failing[i] the
// i-th call, the calls after the last one as the last; and the points asked.
std::vector<Fault> failing;
std::vector<FaultPoint> asked;
Fault FailAsPlanned(FaultPoint point) {
  asked.push_back(point);
  return failing[asked.size() <= failing.size() ? asked.size() - 1 : failing.size() - 1];
}

// Makes the calls of one scope fail as faults say (see failing).
class FailingCalls {
 public:
  explicit FailingCalls(std::vector<Fault> faults) {
    failing = std::move(faults);
    asked.clear();
  }

 private:
  faults::ScopedFaultHook hook_{FailAsPlanned};
};

// Returns a fault with errno's code, moving bytesFirst bytes first.
Fault Errno(int code, std::size_t bytesFirst = 0) {
  return {true, {SystemError::Source::kErrno, code}, bytesFirst};
}

// Returns the failure that reading size bytes of file throws; fails the test
// when the read returns instead.
IoFailure ReadFailure(InputFile& file, std::size_t size = 16) {
  char block[64];
  try {
    file.Read(block, size);
  } catch (const IoFailure& failure) {
    EXPECT_EQ(failure.operation, FileOperation::kRead);
    EXPECT_TRUE(failure.machine);
    return failure;
  }
  ADD_FAILURE() << "a failed read returned";
  return {};
}

TEST(InputFile, TellsAFaultOfTheMachineFromAFileThatIsNotThere) {
  // What makes a file unreadable as such reads as an empty file; anything
  // else that fails to open it is the machine's fault, memory and file
  // handles run out included. The codes are the system's own; on Windows
  // also errno's, which the seam may give, and which are not taken for
  // Windows codes (ENOTDIR is 20, as ERROR_BAD_UNIT is).
  const struct {
    int code;
    bool fault;
    SystemError::Source source = kInputErrors;
  } cases[] = {
#ifdef _WIN32
      {ERROR_FILE_NOT_FOUND, false},
      {ERROR_PATH_NOT_FOUND, false},
      {ERROR_ACCESS_DENIED, false},
      {ERROR_FILENAME_EXCED_RANGE, false},
      {ERROR_NOT_ENOUGH_MEMORY, true},
      {ERROR_TOO_MANY_OPEN_FILES, true},
      {ERROR_BAD_NETPATH, true},
      {ERROR_NETNAME_DELETED, true},
      {ERROR_SHARING_VIOLATION, true},
      {ERROR_CRC, true},
      {ENOTDIR, false, SystemError::Source::kErrno},
      {EMFILE, true, SystemError::Source::kErrno},
#else
      {ENOENT, false}, {ENOTDIR, false}, {EACCES, false}, {ELOOP, false}, {ENAMETOOLONG, false},
      {ENOMEM, true},  {EMFILE, true},   {ENFILE, true},  {EIO, true},    {ESTALE, true},
#endif
  };
  TempFolder folder;
  const std::string path = folder.Write("in.txt", "bytes\n");
  for (const auto& c : cases) {
    FailingCalls calls({{true, {c.source, c.code}}});
    try {
      InputFile file = InputFile::Open(path, FileRole::kSubmission);
      EXPECT_FALSE(c.fault) << c.code << " reads as empty";
      EXPECT_FALSE(file.IsOpen()) << c.code;
    } catch (const IoFailure& failure) {
      EXPECT_TRUE(c.fault) << c.code << " is a fault of the machine";
      EXPECT_EQ(failure.role, FileRole::kSubmission);
      EXPECT_EQ(failure.operation, FileOperation::kOpen);
      EXPECT_EQ(failure.error.source, c.source);
      EXPECT_EQ(failure.error.code, c.code);
      EXPECT_TRUE(failure.machine);
    }
    EXPECT_EQ(asked, std::vector<FaultPoint>{FaultPoint::kOpen}) << c.code;
  }
}

TEST(InputFile, ThrowsWhenAReadFailsInsteadOfEndingTheFile) {
  // A read that fails at once, one that moves part of the bytes asked for,
  // and one that moves the rest of the file, so that it has also seen the end
  // of the file: each is a failure, never the end of the file.
  TempFolder folder;
  const std::string path = folder.Write("in.txt", "bytes\n");
  for (const std::size_t bytesFirst : {0, 3, 16}) {
    InputFile file = InputFile::Open(path, FileRole::kSubmission);
    FailingCalls calls({Errno(EIO, bytesFirst)});
    const IoFailure failure = ReadFailure(file);
    EXPECT_EQ(failure.role, FileRole::kSubmission) << bytesFirst;
    EXPECT_EQ(failure.error.source, SystemError::Source::kErrno) << bytesFirst;
    EXPECT_EQ(failure.error.code, EIO) << bytesFirst;
  }
}

TEST(ErrorText, GivesTheSystemsTextOnOneLine) {
  EXPECT_STREQ(ErrorText({SystemError::Source::kErrno, ENOENT}), std::strerror(ENOENT));
#ifdef _WIN32
  // The system's sentence, without its full stop, and the code: one line.
  const std::string text = ErrorText({SystemError::Source::kWindows, ERROR_NETNAME_DELETED});
  EXPECT_GT(text.size(), 5u) << text;
  EXPECT_EQ(text.substr(text.size() - 5), " (64)") << text;
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_STREQ(ErrorText({SystemError::Source::kWindows, 0x7fffabcd}), "(2147462093)");
#endif
}

#ifdef __linux__
TEST(InputFile, ThrowsOnARealReadError) {
  // Linux opens the process's own memory as a file, and its first page is
  // never mapped: the read fails with EIO, which is no end of file.
  const std::string path = "/proc/self/mem";
  InputFile file = InputFile::Open(path, FileRole::kTestData);
  ASSERT_TRUE(file.IsOpen());
  const IoFailure failure = ReadFailure(file);
  EXPECT_EQ(failure.role, FileRole::kTestData);
  EXPECT_EQ(failure.error.code, EIO);
}
#endif

#ifndef _WIN32
TEST(WriteStandardError, WritesTheRestAfterAnInterruptedOrShortWrite) {
  // On POSIX the pieces go to the descriptor, which may take part of a piece
  // or be interrupted before taking any byte; the rest follows. Any other
  // failure ends the line where it stands.
  if (!faults::CanCaptureStandardError()) GTEST_SKIP() << "standard error cannot be captured here";
  const Fault ok;
  const Fault interrupted = Errno(EINTR);
  const struct {
    const char* name;
    std::vector<Fault> faults;  // for each write to the descriptor, the last for the rest
    std::string written;
  } cases[] = {
      {"interrupted", {interrupted, interrupted, ok}, "Orv19Zobnikari: line\n"},
      {"short writes", {Errno(0, 5), Errno(0, 1), Errno(0, 4), ok}, "Orv19Zobnikari: line\n"},
      {"both", {Errno(0, 3), interrupted, Errno(0, 40)}, "Orv19Zobnikari: line\n"},
      {"failed", {Errno(0, 5), Errno(EIO)}, "Orv19"},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    {
      FailingCalls calls(c.faults);
      WriteStandardError({"Orv19Zobnikari: ", "line", "\n"});
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.written) << c.name;
  }
}
#endif

TEST(ReportFile, WritesInTextModeAndTruncates) {
  TempFolder folder;
  const std::string path = folder.Write("report.txt", "old contents, longer than the new\n");
#ifdef _WIN32
  EXPECT_EQ(WrittenReport(path, "OK\n1\n\r1 35\n"), "OK\r\n1\r\n\r1 35\r\n");
#else
  EXPECT_EQ(WrittenReport(path, "OK\n1\n\r1 35\n"), "OK\n1\n\r1 35\n");
#endif
}

// Returns the failure that opening a report at path throws; fails the test
// when it opens.
IoFailure OpenFailure(const std::string& path) {
  try {
    ReportFile report(path);
  } catch (const IoFailure& failure) {
    EXPECT_EQ(failure.role, FileRole::kReport);
    EXPECT_EQ(failure.operation, FileOperation::kOpen);
    return failure;
  }
  ADD_FAILURE() << path << " opens";
  return {};
}

TEST(ReportFile, SaysWhyItCannotBeOpened) {
  TempFolder folder;
  const IoFailure failure = OpenFailure(folder.Path("missing/report.txt"));
  EXPECT_EQ(failure.error.source, SystemError::Source::kErrno);
  EXPECT_EQ(failure.error.code, ENOENT);
  EXPECT_FALSE(failure.machine);
}

TEST(ReportFile, TellsAFaultOfTheMachineFromASettingToFix) {
  // The C library's errno codes, on every platform: a missing folder, no
  // permission, a full or read-only disk, a name the disk does not take are
  // settings to fix; the rest are faults of the machine.
  const struct {
    int code;
    bool fault;
  } cases[] = {
      {ENOENT, false}, {EACCES, false}, {EISDIR, false}, {ENOSPC, false}, {EROFS, false},
      {EFBIG, false},  {EINVAL, false}, {EIO, true},     {ENOMEM, true},  {EMFILE, true},
#ifdef EDQUOT
      {EDQUOT, false},
#endif
  };
  TempFolder folder;
  for (const auto& c : cases) {
    FailingCalls calls({Errno(c.code)});
    const IoFailure failure = OpenFailure(folder.Path("report.txt"));
    EXPECT_EQ(failure.error.code, c.code);
    EXPECT_EQ(failure.machine, c.fault) << c.code;
  }
}

TEST(ReportFile, KeepsTheFirstFailedWriteOrClose) {
  // A failed write fails the close, whose own failure does not replace it,
  // and no later write reaches the file; a full disk may only show at the
  // flush before the close, and a failure that gives no reason is an I/O
  // error, whatever errno held before.
  const Fault ok;
  const struct {
    const char* name;
    std::vector<Fault> faults;  // for the open, the writes, the flush and the close
    bool writesFail;
    FileOperation operation;
    int code;
    std::string left;  // what the file holds after the close
  } cases[] = {
      {"write", {ok, Errno(ENOSPC), Errno(EIO)}, true, FileOperation::kWrite, ENOSPC, ""},
      {"write, partly", {ok, Errno(EIO, 1), ok}, true, FileOperation::kWrite, EIO, "O"},
      {"flush", {ok, ok, ok, Errno(ENOSPC)}, false, FileOperation::kWrite, ENOSPC, "OK\n1\n"},
      {"close", {ok, ok, ok, ok, Errno(EIO)}, false, FileOperation::kClose, EIO, "OK\n1\n"},
      {"close, no reason",
       {ok, ok, ok, ok, Errno(0)},
       false,
       FileOperation::kClose,
       EIO,
       "OK\n1\n"},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    FailingCalls calls(c.faults);
    ReportFile report(folder.Path("report.txt"));
    report.Write("OK\n");
    EXPECT_EQ(report.Write("1\n"), !c.writesFail) << c.name;
    errno = ENOENT;  // what an earlier call may have left
    try {
      report.Close();
      ADD_FAILURE() << c.name << ": the close succeeds";
    } catch (const IoFailure& failure) {
      EXPECT_EQ(failure.role, FileRole::kReport) << c.name;
      EXPECT_EQ(failure.operation, c.operation) << c.name;
      EXPECT_EQ(failure.error.code, c.code) << c.name;
      EXPECT_TRUE(failure.machine == (c.code == EIO)) << c.name;
    }
    EXPECT_EQ(folder.Read("report.txt"), faults::AsWritten(c.left)) << c.name;
  }
  // A report cut short is emptied again.
  ReportFile::Empty(folder.Write("cut.txt", "OK\n1\n"));
  EXPECT_EQ(folder.Read("cut.txt"), "");
}

TEST(Paths, ReachFilesInAFolderOutsideTheAnsiCodePage) {
  TempFolder folder;
  folder.MakeFolder(kFolder);
  const std::string input = folder.Write(kFolder + "/input.txt", "Zobnikari\n");
  EXPECT_EQ(ReadAll(input), "Zobnikari\n");
  EXPECT_EQ(WrittenReport(folder.Path(kFolder + "/report.txt"), "OK"), "OK");
}

TEST(SameFile, TellsOneFileFromAnotherHoweverSpelled) {
  TempFolder folder;
  folder.MakeFolder(kFolder + "/sub");
  const std::string input = folder.Write(kFolder + "/input.txt", "same bytes\n");
  const std::string twin = folder.Write(kFolder + "/twin.txt", "same bytes\n");
  EXPECT_TRUE(SameFile(input, input));
  EXPECT_TRUE(SameFile(input, folder.Path(kFolder + "/./input.txt")));
  EXPECT_TRUE(SameFile(folder.Path(kFolder + "/sub/../input.txt"), input));
  EXPECT_FALSE(SameFile(input, twin)) << "equal contents, two files";
  EXPECT_FALSE(SameFile(input, folder.Path(kFolder + "/missing.txt")));
  EXPECT_FALSE(SameFile(folder.Path(kFolder + "/missing.txt"), input));
}

TEST(AllocateLarge, GivesBlocksWritableToTheirLastByte) {
  // Sizes on both sides of a large page and of the rounding to whole large
  // pages; every page of each block is written, first and last byte.
  for (const std::size_t bytes :
       {std::size_t{1}, kLargePage - 1, kLargePage, kLargePage + 1, kLargePage * 9 / 8,
        kLargePage * 9 / 8 + 4096, std::size_t{4000128}, kLargePage * 8 + 5}) {
    unsigned char* const block = static_cast<unsigned char*>(AllocateLarge(bytes));
    ASSERT_NE(block, nullptr) << bytes;
    for (std::size_t at = 0; at < bytes; at += 4096) block[at] = 1;
    block[bytes - 1] = 2;
    EXPECT_EQ(block[0], bytes == 1 ? 2 : 1);
    FreeLarge(block, bytes);
  }
  FreeLarge(nullptr, kLargePage);
  // More than any system has: no block, rather than one that a length's
  // rounding wrapped round to a few bytes.
  EXPECT_EQ(AllocateLarge(SIZE_MAX), nullptr);
  // Memory that a test says has run out.
  FailingCalls calls({Errno(ENOMEM)});
  EXPECT_EQ(AllocateLarge(kLargePage), nullptr);
  EXPECT_EQ(ResizeBlock(nullptr, 16), nullptr);
  EXPECT_EQ(asked, (std::vector<FaultPoint>{FaultPoint::kAllocate, FaultPoint::kAllocate}));
}

#ifdef __linux__
// Returns the bytes of every mapping of this process but its heap, by
// /proc/self/maps.
std::uint64_t MappedBytes() {
  std::ifstream maps("/proc/self/maps");
  std::uint64_t total = 0;
  for (std::string line; std::getline(maps, line);) {
    if (line.find("[heap]") != std::string::npos) continue;
    std::istringstream fields(line);
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    char dash = 0;
    fields >> std::hex >> from >> dash >> to;
    total += to - from;
  }
  return total;
}

// Returns the flags (VmFlags) of the mapping that starts at block, by
// /proc/self/smaps; empty when none starts there.
std::string FlagsOfMappingAt(const void* block) {
  std::ostringstream start;
  start << std::hex << reinterpret_cast<std::uintptr_t>(block) << "-";
  std::ifstream smaps("/proc/self/smaps");
  bool found = false;
  for (std::string line; std::getline(smaps, line);) {
    if (line.rfind(start.str(), 0) == 0) found = true;
    if (found && line.rfind("VmFlags:", 0) == 0) return line;
  }
  return "";
}

// Returns true when this system shows large-page advice in /proc/self/smaps:
// a kernel without large pages refuses it, and QEMU's user mode takes it and
// shows nothing.
bool ShowsAdvice() {
  void* const probe =
      mmap(nullptr, kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (probe == MAP_FAILED) return false;
  const bool shown = madvise(probe, kLargePage, MADV_HUGEPAGE) == 0 &&
                     FlagsOfMappingAt(probe).find(" hg") != std::string::npos;
  munmap(probe, kLargePage);
  return shown;
}

TEST(AllocateLarge, MapsLargeBlocksOnLargePagesAndGivesBackEveryPage) {
  // A block of a large page or more starts on a large-page boundary, is
  // advised to use large pages, and is mapped in whole large pages where that
  // adds at most an eighth, else in whole pages; FreeLarge gives back every
  // page. Lengths on both sides of the eighth, and lengths of whole 4 KiB
  // pages that are not whole 16 or 64 KiB pages: on a kernel with such pages
  // (64-bit ARM) a length reckoned in 4 KiB pages would leave a tail mapped.
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const bool advised = ShowsAdvice();
  const struct {
    std::size_t bytes;
    bool wholeLargePages;
  } cases[] = {
      {kLargePage, true},
      {kLargePage * 8 + 5, true},  // 2 MiB - 5 more, an eighth is 2 MiB
      {3728271, true},             // 466033 more, exactly an eighth
      {3728270, false},            // 466034 more, an eighth is 466033
      {kLargePage * 9 / 8 + 4096 + 1, false},
      {kLargePage * 3 / 2 + 4096, false},
  };
  MappedBytes();
  const std::uint64_t before = MappedBytes();
  for (const auto& c : cases) {
    void* const block = AllocateLarge(c.bytes);
    ASSERT_NE(block, nullptr) << c.bytes;
    const std::size_t unit = c.wholeLargePages ? kLargePage : page;
    EXPECT_EQ(MappedBytes() - before, (c.bytes + unit - 1) / unit * unit) << c.bytes;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kLargePage, 0u) << c.bytes;
    if (advised) {
      EXPECT_NE(FlagsOfMappingAt(block).find(" hg"), std::string::npos) << c.bytes;
    }
    FreeLarge(block, c.bytes);
    EXPECT_EQ(MappedBytes(), before) << c.bytes;
  }
}
#endif

}  // namespace
}  // namespace zobnikari
