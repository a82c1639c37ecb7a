// What the files of the platform layer share among themselves: the fault
// hook's seam, the errno tables of the C library, and the two functions that
// each platform defines for the code they share. Not for use outside
// common/platform*.cc.
#ifndef ZOBNIKARI_COMMON_PLATFORM_INTERNAL_H_
#define ZOBNIKARI_COMMON_PLATFORM_INTERNAL_H_

#include <cstddef>
#include <cstdio>
#include <string>

#include "common/platform.h"

namespace zobnikari {
namespace platform {

// Clears errno and asks the fault hook how the call at point is to fail.
Fault Ask(FaultPoint point);

// Returns how many of size bytes a read or write moves, given its fault.
std::size_t Moved(const Fault& fault, std::size_t size);

// Returns the errno value that names why a call failed: the fault's code,
// else errno's (the call's own, or the fault left it as the system would),
// else EIO, since C does not oblige every call to say why it failed.
int FailedErrno(const Fault& fault);

// Returns true when an input whose opening failed with errno's code reads as
// an empty file: it names nothing that can be read as a file. Any other code
// (no memory or file handles left, an I/O error, a stale network file
// system) is the machine's fault.
bool ErrnoReadsAsEmpty(int code);

// Returns true when errno's code, met while the report was opened, written
// or closed, names something to set right where the report goes, as every C
// library has it: what an input would read as empty for, and a disk that is
// full or read-only, or a name it does not take.
bool ErrnoNamesSetting(int code);

// Defined by each platform: opens the report file at path in text mode,
// created or truncated; nullptr, errno set, when it cannot.
std::FILE* OpenForWriting(const std::string& path);

// Defined by each platform: returns true when errno's code, met with the
// report, is a fault of the machine (ErrnoNamesSetting and the platform's own
// codes say which are not).
bool IsReportMachineFault(int code);

// Defined by each platform: has standard output take bytes as they are (on
// Windows in binary mode, so that an LF stays an LF). Safe to call again.
void KeepStandardOutputBytes();

}  // namespace platform
}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_PLATFORM_INTERNAL_H_
