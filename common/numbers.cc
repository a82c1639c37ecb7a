#include "common/numbers.h"

#include <string>

#include "common/assertion.h"

namespace zobnikari {

namespace {

// Returns the value of a digit byte, or a value above 9 for any other byte.
inline unsigned DigitValue(unsigned char c) { return static_cast<unsigned>(c) - '0'; }

[[noreturn]] void FailNonDigit(unsigned char c) {
  ThrowAssertion(
      "namesto stevke se pojavlja znak s kodo " + IntToString(static_cast<std::int32_t>(c)),
      kSourcePath, 55);
}

[[noreturn]] void FailTooLarge(std::uint32_t numberSoFar, char digit) {
  ThrowAssertion(
      "stevilo " + IntToString(static_cast<std::int32_t>(numberSoFar)) + digit + " je preveliko",
      kSourcePath, 61);
}

}  // namespace

int ScanInts(std::string_view text, std::int32_t* values, int count) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  for (int stored = 0; stored < count; ++stored) {
    while (p < end && IsBlank(*p)) ++p;
    if (p == end) return stored == 0 ? -1 : stored;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (p == end || DigitValue(*p) > 9) return stored;
    // Accumulate the magnitude, holding it at one past INT32_MAX once it gets
    // there, so that any number of digits costs nothing but the walk.
    constexpr std::int64_t kCap = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (unsigned digit; p < end && (digit = DigitValue(*p)) <= 9; ++p) {
      magnitude = magnitude * 10 + digit;
      if (magnitude > kCap) magnitude = kCap;
    }
    if (negative) {
      values[stored] = static_cast<std::int32_t>(-magnitude);
    } else {
      values[stored] = static_cast<std::int32_t>(magnitude == kCap ? kCap - 1 : magnitude);
    }
  }
  return count;
}

std::size_t ParseIntList(std::string_view text, std::vector<std::int32_t>& values,
                         std::size_t keep) {
  values.clear();
  std::size_t found = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  while (p < end) {
    unsigned digit = DigitValue(*p);
    if (digit > 9) {
      if (!IsBlank(*p)) FailNonDigit(*p);
      ++p;
      continue;
    }
    // Nine digits always fit; only from the tenth on can a number pass
    // 2147483647, so only there is each digit tested before it is taken.
    std::uint32_t number = digit;
    const unsigned char* const safeEnd = end - p > 9 ? p + 9 : end;
    for (++p; p < safeEnd && (digit = DigitValue(*p)) <= 9; ++p) number = number * 10 + digit;
    for (; p < end && (digit = DigitValue(*p)) <= 9; ++p) {
      if (number > 214748364 || (number == 214748364 && digit > 7)) {
        FailTooLarge(number, static_cast<char>(*p));
      }
      number = number * 10 + digit;
    }
    if (found < keep) values.push_back(static_cast<std::int32_t>(number));
    ++found;
  }
  return found;
}

}  // namespace zobnikari
