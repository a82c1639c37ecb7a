#include "common/numbers.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/assertion.h"

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
#include <intrin.h>
#endif

// Lists are parsed eight bytes at a time where the byte order is known to be
// little-endian; elsewhere byte by byte, with the same results.
#if (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || defined(_MSC_VER)
#define ZOBNIKARI_EIGHT_BYTES_AT_ONCE 1
#else
#define ZOBNIKARI_EIGHT_BYTES_AT_ONCE 0
#endif

namespace zobnikari {

namespace {

// Returns the index of the lowest set bit of x. REQUIRES: x != 0.
inline unsigned LowestSetBit(std::uint64_t x) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<unsigned>(__builtin_ctzll(x));
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
  unsigned long index;
  _BitScanForward64(&index, x);
  return static_cast<unsigned>(index);
#else
  unsigned index = 0;
  while ((x & 1) == 0) x >>= 1, ++index;
  return index;
#endif
}

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
  // Room for every number that the line can hold (each takes a digit and a
  // blank), but for no more than keep.
  values.reserve(std::min(keep, text.size() / 2 + 1));
  std::size_t found = 0;
  // Appends the first numbers of batch to values, as far as keep allows.
  const auto take = [&values, &found, keep](const std::int32_t* batch, std::size_t count) {
    if (found < keep) values.insert(values.end(), batch, batch + std::min(count, keep - found));
    found += count;
  };
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
#if ZOBNIKARI_EIGHT_BYTES_AT_ONCE
  // Below fastEnd, eight bytes can be read from p. A batch of kBatchBytes
  // bytes holds at most half as many numbers.
  const unsigned char* const fastEnd = text.size() >= 8 ? end - 7 : p;
  constexpr std::ptrdiff_t kBatchBytes = 256;
  std::int32_t batch[kBatchBytes / 2];
#endif
  for (;;) {
#if ZOBNIKARI_EIGHT_BYTES_AT_ONCE
    // The common case, eight bytes at a time: a number of one to seven digits
    // (which cannot be too large) and the single space after it. Anything
    // else is left to the byte-by-byte step below, which makes every check.
    if (p < fastEnd) {
      const unsigned char* const batchEnd = fastEnd - p > kBatchBytes ? p + kBatchBytes : fastEnd;
      std::size_t count = 0;
      while (p < batchEnd) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t digits = word ^ 0x3030303030303030u;  // digit bytes become 0 to 9
        const std::uint64_t nonDigits =
            (((digits & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | digits) & 0x8080808080808080u;
        if (nonDigits == 0) break;                     // eight digits or more
        const unsigned bit = LowestSetBit(nonDigits);  // 8 * length + 7
        if (bit < 8) break;                            // no digit first
        // Move the digits up to end at byte 6, then combine them pairwise
        // (the first multiplication also shifts the pairs down to end at
        // byte 7): 2, 4, then 8 digits per lane.
        std::uint64_t number = (digits << (bit ^ 63)) * 2561;
        number = ((number & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
        number = ((number & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
        batch[count++] = static_cast<std::int32_t>(number);
        const unsigned length = bit >> 3;
        if (((word >> (bit - 7)) & 0xFF) != ' ') {
          p += length;
          break;
        }
        p += length + 1;
      }
      take(batch, count);
      if (p >= batchEnd && p < fastEnd) continue;
    }
#endif
    if (p >= end) break;
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
    const std::int32_t value = static_cast<std::int32_t>(number);
    take(&value, 1);
  }
  return found;
}

}  // namespace zobnikari
