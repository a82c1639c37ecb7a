// The platform layer: how files are opened (inputs in binary mode, the report
// in text mode) and how their failures are told apart, paths outside the
// ANSI code page, and telling whether two paths name the same file.
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
#endif

#include <gtest/gtest.h>

#include "common/platform.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

using namespace std::string_literals;

// A folder name that Windows's ANSI code pages (1252 among them) cannot spell.
const std::string kFolder = "tekmovalec_\xc4\x8d";

// Returns every byte of the input at path, read in blocks of 256 bytes.
std::string ReadAll(const std::string& path) {
  InputFile file = InputFile::Open(path);
  std::string bytes;
  char block[256];
  for (std::size_t got; (got = file.Read(block, sizeof block)) > 0;) bytes.append(block, got);
  return bytes;
}

// Returns the bytes that the report at path holds once text was written and
// the file closed.
std::string WrittenReport(const std::string& path, const std::string& text) {
  ReportFile report;
  EXPECT_TRUE(report.Open(path)) << ErrorText(report.error());
  EXPECT_TRUE(report.Write(text));
  EXPECT_TRUE(report.Close());
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
    InputFile file = InputFile::Open(path);
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

// The error code that the fault hook makes the next call fail with, and
// the point it was asked at.
int injectedCode = 0;
std::vector<FaultPoint> asked;
int InjectCode(FaultPoint point) {
  asked.push_back(point);
  return injectedCode;
}

// Sets the fault hook to fail every call with code, for one scope.
class FailingCalls {
 public:
  explicit FailingCalls(int code) {
    injectedCode = code;
    asked.clear();
    SetFaultHook(InjectCode);
  }
  ~FailingCalls() { SetFaultHook(nullptr); }
};

// Returns the fault that reading file throws; fails the test when the read
// returns instead.
MachineFault ReadFault(InputFile& file) {
  char block[16];
  try {
    file.Read(block, sizeof block);
  } catch (const MachineFault& fault) {
    EXPECT_EQ(fault.operation, MachineFault::Operation::kRead);
    return fault;
  }
  ADD_FAILURE() << "a failed read returned";
  return {MachineFault::Operation::kOpen, "", {}};
}

TEST(InputFile, TellsAFaultOfTheMachineFromAFileThatIsNotThere) {
  // What makes a file unreadable as such reads as an empty file; anything
  // else that fails to open it is the machine's fault, memory and file
  // handles run out included.
  const struct {
    int code;
    bool fault;
  } cases[] = {
#ifdef _WIN32
      {ERROR_FILE_NOT_FOUND, false},   {ERROR_PATH_NOT_FOUND, false},
      {ERROR_ACCESS_DENIED, false},    {ERROR_FILENAME_EXCED_RANGE, false},
      {ERROR_NOT_ENOUGH_MEMORY, true}, {ERROR_TOO_MANY_OPEN_FILES, true},
      {ERROR_BAD_NETPATH, true},       {ERROR_NETNAME_DELETED, true},
      {ERROR_SHARING_VIOLATION, true}, {ERROR_CRC, true},
#else
      {ENOENT, false}, {ENOTDIR, false}, {EACCES, false}, {ELOOP, false}, {ENAMETOOLONG, false},
      {ENOMEM, true},  {EMFILE, true},   {ENFILE, true},  {EIO, true},    {ESTALE, true},
#endif
  };
  TempFolder folder;
  const std::string path = folder.Write("in.txt", "bytes\n");
  for (const auto& c : cases) {
    FailingCalls failing(c.code);
    try {
      InputFile file = InputFile::Open(path);
      EXPECT_FALSE(c.fault) << c.code << " reads as empty";
      EXPECT_FALSE(file.IsOpen()) << c.code;
    } catch (const MachineFault& fault) {
      EXPECT_TRUE(c.fault) << c.code << " is a fault of the machine";
      EXPECT_EQ(fault.operation, MachineFault::Operation::kOpen);
      EXPECT_EQ(fault.path, path.c_str());
      EXPECT_EQ(fault.error.source, kInputErrors);
      EXPECT_EQ(fault.error.code, c.code);
    }
    EXPECT_EQ(asked, std::vector<FaultPoint>{FaultPoint::kOpen}) << c.code;
  }
}

TEST(InputFile, ThrowsWhenAReadFailsInsteadOfEndingTheFile) {
  TempFolder folder;
  const std::string path = folder.Write("in.txt", "bytes\n");
  InputFile file = InputFile::Open(path);
#ifdef _WIN32
  const int code = ERROR_NETNAME_DELETED;
#else
  const int code = EIO;
#endif
  FailingCalls failing(code);
  const MachineFault fault = ReadFault(file);
  EXPECT_EQ(fault.path, path.c_str());
  EXPECT_EQ(fault.error.source, kInputErrors);
  EXPECT_EQ(fault.error.code, code);
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
  InputFile file = InputFile::Open(path);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(ReadFault(file).error.code, EIO);
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

TEST(ReportFile, SaysWhyItCannotBeOpened) {
  TempFolder folder;
  ReportFile report;
  EXPECT_FALSE(report.Open(folder.Path("missing/report.txt")));
  EXPECT_EQ(report.error().source, SystemError::Source::kErrno);
  EXPECT_EQ(report.error().code, ENOENT);
}

TEST(ReportFile, KeepsTheFirstFailedWriteOrClose) {
  // A failed write fails every later one and the close; a full disk may
  // only show at the close.
  TempFolder folder;
  const std::string path = folder.Path("report.txt");
  {
    ReportFile report;
    ASSERT_TRUE(report.Open(path));
    {
      FailingCalls failing(ENOSPC);
      EXPECT_FALSE(report.Write("OK\n"));
    }
    EXPECT_FALSE(report.Write("1\n"));
    EXPECT_FALSE(report.Close());
    EXPECT_EQ(report.error().code, ENOSPC);
  }
  ReportFile report;
  ASSERT_TRUE(report.Open(path));
  EXPECT_TRUE(report.Write("OK\n"));
  FailingCalls failing(EIO);
  EXPECT_FALSE(report.Close());
  EXPECT_EQ(report.error().code, EIO);
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

TEST(AllocateLarge, GivesBackEveryPageItMapped) {
  // A large block maps a large page more than it keeps and gives back what
  // lies around it; FreeLarge gives back the rest. Lengths of whole 4 KiB
  // pages that are not whole 16 or 64 KiB pages: on a kernel with such pages
  // (64-bit ARM) a length reckoned in 4 KiB pages leaves a tail mapped.
  MappedBytes();
  const std::uint64_t before = MappedBytes();
  for (const std::size_t bytes :
       {kLargePage, kLargePage * 9 / 8 + 4096 + 1, kLargePage * 3 / 2 + 4096, kLargePage * 8 + 5}) {
    void* const block = AllocateLarge(bytes);
    ASSERT_NE(block, nullptr) << bytes;
    FreeLarge(block, bytes);
  }
  EXPECT_EQ(MappedBytes(), before);
}
#endif

}  // namespace
}  // namespace zobnikari
