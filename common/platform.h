// The few places where the evaluator touches the operating system: the
// command line, opening files by path, telling whether two paths name the
// same file, and large blocks of memory. Paths are UTF-8 byte strings on every
// platform.
#ifndef ZOBNIKARI_COMMON_PLATFORM_H_
#define ZOBNIKARI_COMMON_PLATFORM_H_

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace zobnikari {

// Returns the program's arguments, program name first. On Windows they are
// taken from the wide-character command line and converted to UTF-8, so that
// every path survives whatever the ANSI code page; elsewhere they are argv.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Opens path for reading in binary mode. Returns nullptr when it cannot be
// opened (errno tells why).
std::FILE* OpenForReading(const std::string& path);

// Opens path for writing in text mode, created or truncated ("wt": on Windows
// each line feed written reaches the file as CR LF). Returns nullptr when it
// cannot be opened (errno tells why).
std::FILE* OpenReportFile(const std::string& path);

// Returns true when both paths exist and name one and the same file (the same
// device and file index), however differently they are spelled.
bool SameFile(const std::string& first, const std::string& second);

// Returns the system's text for the error code in errno right now.
std::string LastErrorText();

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

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_PLATFORM_H_
