// The list-line rules read plainly, one byte at a time: the yardstick that
// the unit tests and the numbers fuzz target hold the list parser to. Written
// from the rules alone, with none of the parser's code.
#ifndef ZOBNIKARI_TESTS_REFERENCE_LIST_H_
#define ZOBNIKARI_TESTS_REFERENCE_LIST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zobnikari {
namespace reference {

// Returns true for the six blanks: space, tab, LF, VT, FF and CR.
inline bool IsBlankByte(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Returns true for the bytes '0' to '9'.
inline bool IsDigitByte(unsigned char c) { return c >= '0' && c <= '9'; }

// The outcome of a list line: its numbers, or the failure that ends it.
struct ListOutcome {
  std::vector<std::int64_t> numbers;  // the numbers met before any failure
  bool failed = false;
  std::int32_t line = 0;  // the failure's source line: 55 or 61
  std::string message;
};

// Returns the outcome of text by the rules: blanks separate numbers, anything
// else but a digit fails with 55, and a digit that would take its number past
// 2147483647 fails with 61, showing the number so far and itself.
inline ListOutcome ParseList(std::string_view text) {
  ListOutcome outcome;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsBlankByte(c)) {
      ++i;
      continue;
    }
    if (!IsDigitByte(c)) {
      outcome.failed = true;
      outcome.line = 55;
      outcome.message = "namesto stevke se pojavlja znak s kodo " + std::to_string(c);
      return outcome;
    }
    std::int64_t number = 0;
    for (; i < text.size() && IsDigitByte(static_cast<unsigned char>(text[i])); ++i) {
      const int digit = text[i] - '0';
      if (number * 10 + digit > 2147483647) {
        outcome.failed = true;
        outcome.line = 61;
        outcome.message = "stevilo " + std::to_string(number) + text[i] + " je preveliko";
        return outcome;
      }
      number = number * 10 + digit;
    }
    outcome.numbers.push_back(number);
  }
  return outcome;
}

}  // namespace reference
}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_REFERENCE_LIST_H_
