// The platform layer: how files are opened (inputs in binary mode, the report
// in text mode), paths outside the ANSI code page, and telling whether two
// paths name the same file.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "common/platform.h"
#include "temp_file.h"

namespace zobnikari {
namespace {

// A folder name that Windows's ANSI code pages (1252 among them) cannot spell.
const std::string kFolder = "tekmovalec_\xc4\x8d";

// Returns every byte of file, which it closes; "<none>" for a null file.
std::string ReadAll(std::FILE* file) {
  if (file == nullptr) return "<none>";
  std::string bytes;
  char block[256];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
    bytes.append(block, got);
  std::fclose(file);
  return bytes;
}

TEST(OpenForReading, GivesEveryByteAsItIsOnDisk) {
  // Binary mode: the line reader applies the text-mode rules itself, so the
  // system must not apply its own (CR LF to LF, a stop at Ctrl-Z) first.
  TempFolder folder;
  const std::string bytes("A\r\nB\x1a\r\nC\rD\n\0E", 14);
  EXPECT_EQ(ReadAll(OpenForReading(folder.Write("in.txt", bytes))), bytes);
}

TEST(OpenForReading, FailsOnAMissingFile) {
  TempFolder folder;
  EXPECT_EQ(OpenForReading(folder.Path("missing.txt")), nullptr);
}

TEST(OpenReportFile, WritesInTextModeAndTruncates) {
  TempFolder folder;
  const std::string path = folder.Write("report.txt", "old contents, longer than the new\n");
  std::FILE* report = OpenReportFile(path);
  ASSERT_NE(report, nullptr);
  std::fputs("OK\n1\n\r1 35\n", report);
  ASSERT_EQ(std::fclose(report), 0);
#ifdef _WIN32
  EXPECT_EQ(folder.Read("report.txt"), "OK\r\n1\r\n\r1 35\r\n");
#else
  EXPECT_EQ(folder.Read("report.txt"), "OK\n1\n\r1 35\n");
#endif
}

TEST(OpenReportFile, FailsInAMissingFolder) {
  TempFolder folder;
  EXPECT_EQ(OpenReportFile(folder.Path("missing/report.txt")), nullptr);
}

TEST(Paths, ReachFilesInAFolderOutsideTheAnsiCodePage) {
  TempFolder folder;
  folder.MakeFolder(kFolder);
  const std::string input = folder.Write(kFolder + "/input.txt", "Zobnikari\n");
  EXPECT_EQ(ReadAll(OpenForReading(input)), "Zobnikari\n");

  std::FILE* report = OpenReportFile(folder.Path(kFolder + "/report.txt"));
  ASSERT_NE(report, nullptr);
  std::fputs("OK", report);
  ASSERT_EQ(std::fclose(report), 0);
  EXPECT_EQ(folder.Read(kFolder + "/report.txt"), "OK");
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
