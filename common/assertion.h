// Validation failures: the one failure type that every check of the evaluator
// throws, the routine that raises it, and the decimal formatting of numbers
// that messages insert.
#ifndef ZOBNIKARI_COMMON_ASSERTION_H_
#define ZOBNIKARI_COMMON_ASSERTION_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/checks.h"

namespace zobnikari {

// The program's one main source file: the path recorded in every failure, and
// the fixed label that a failure report shows (the report never takes the
// label from the failure).
extern const char kSourcePath[];

// A validation failure: the composed message (no line end), the source path of
// the check and the check's fixed source line number. Deliberately not derived
// from std::exception, so that a handler for standard exceptions never takes it.
class EAssertion {
 public:
  // Makes a failure from its three values; the strings are copied.
  EAssertion(std::string message, std::string file, std::int32_t line);

  std::string message;
  std::string file;
  std::int32_t line;
};

// Throws EAssertion(message, file, the check's number). Never returns.
[[noreturn]] void ThrowAssertion(std::string message, const char* file, Check check);

// Returns the pieces joined in order, in one string allocated once at its
// final size: a message that quotes an input line holds one copy of the line
// and needs no other (an input line may be hundreds of megabytes long).
std::string JoinPieces(std::initializer_list<std::string_view> pieces);

// Returns "v " + [line number] + ". vrstici " ("in line N "), the opening of
// the messages that name a line of the file concerned.
std::string AtLine(std::int64_t lineNumber);

// Enough room for the decimal text of any 64-bit signed value.
constexpr std::size_t kMaxIntText = 20;

// Writes the "%d" text of value (minus sign for negatives, no padding) to out,
// which must hold kMaxIntText bytes. Returns the number of bytes written.
// Allocates nothing.
std::size_t FormatInt(std::int64_t value, char* out);

// Returns the "%d" text of value: at most 11 characters, INT_MIN included.
std::string IntToString(std::int32_t value);

// Returns the decimal text of a 64-bit value, for counters and counts that may
// pass the 32-bit range on hostile input.
std::string IntToString(std::int64_t value);

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_ASSERTION_H_
