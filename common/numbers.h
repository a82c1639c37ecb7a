// Numbers on input lines. Header lines are scanned leniently, as "%d" reads
// them (a sign and trailing text accepted); lists of numbers (points, finishing
// orders, teams) are parsed strictly: decimal digits and blanks only.
#ifndef ZOBNIKARI_COMMON_NUMBERS_H_
#define ZOBNIKARI_COMMON_NUMBERS_H_

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "common/checks.h"

namespace zobnikari {

// Returns true for the six blanks: space, tab, LF, VT, FF and CR. No other
// byte is one, none from 128 to 255 in particular.
inline bool IsBlank(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

// Scans text as sscanf does with count "%d" conversions separated by blanks,
// storing into values[0 .. count). Returns how many were stored, or -1 when the
// text holds nothing but blanks before the first number. Each number is
// optional blanks, an optional '+' or '-' and at least one digit; whatever
// follows the last conversion is ignored. A number beyond the 32-bit range
// saturates to INT32_MAX or INT32_MIN. REQUIRES: values holds count entries.
int ScanInts(std::string_view text, std::int32_t* values, int count);

// How many entries past keep the list parser may write into (see below).
constexpr std::size_t kListSlack = 32;

// Parses a list line: stores the line's numbers in order (each 0 to
// 2147483647, blanks of any amount around them) into values[0 .. keep), and
// returns how many numbers the line holds, stored or not. The parser writes
// whole blocks of numbers at a time, so entries from min(count, keep) up to
// keep + kListSlack hold unspecified values afterwards. Throws EAssertion on a
// byte that is neither blank nor digit (source line 55) or on a number above
// 2147483647 (source line 61), at the first such defect. REQUIRES: values has
// room for keep + kListSlack entries.
std::size_t ParseIntList(std::string_view text, std::int32_t* values, std::size_t keep);

// As above, into a list: values is emptied, then holds the first keep numbers
// of the line (its storage kept for reuse), or none after a failure. Returns
// how many numbers the line holds, kept or not.
std::size_t ParseIntList(std::string_view text, std::vector<std::int32_t>& values,
                         std::size_t keep = std::numeric_limits<std::size_t>::max());

// The first defect of a list line, as the parser found it: the check it fails
// and what that check's message shows.
struct ListDefect {
  bool found = false;
  Check check = Check::kListByteNotDigit;
  std::uint32_t value = 0;  // 55: the byte's code; 61: the number before the digit
  char digit = 0;           // 61: the digit that takes the number past 2147483647
};

// Returns the message of defect, as the throwing parser gives it.
std::string MessageOf(const ListDefect& defect);

// As the first ParseIntList, but throws nothing: at a defect, stores it in
// defect and stops there (the count returned and the values are then
// unspecified); with none, sets defect.found to false.
std::size_t ParseIntList(std::string_view text, std::int32_t* values, std::size_t keep,
                         ListDefect& defect);

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_NUMBERS_H_
