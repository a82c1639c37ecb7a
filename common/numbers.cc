#include "common/numbers.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/assertion.h"

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
#include <intrin.h>
#endif

// Lists are parsed 64 bytes at a time where the byte order is known to be
// little-endian; elsewhere byte by byte, with the same results.
#if (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || defined(_MSC_VER)
#define ZOBNIKARI_WHOLE_WORDS 1
#else
#define ZOBNIKARI_WHOLE_WORDS 0
#endif

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

// The numbers of one line on their way into the caller's list: gathered in a
// small batch, then appended as far as the caller's limit allows.
class ListOutput {
 public:
  static constexpr std::size_t kBatch = 128;

  ListOutput(std::vector<std::int32_t>& values, std::size_t keep) : values_(values), keep_(keep) {}

  // Returns room for at least `room` more numbers, to be filled and then
  // committed with Commit. REQUIRES: room <= kBatch.
  std::int32_t* Reserve(std::size_t room) {
    if (count_ > kBatch - room) Flush();
    return batch_ + count_;
  }
  void Commit(std::size_t added) { count_ += added; }
  void Push(std::int32_t value) {
    *Reserve(1) = value;
    ++count_;
  }

  // Appends the batch. Returns how many numbers the line has yielded.
  std::size_t Finish() {
    Flush();
    return found_;
  }

 private:
  void Flush() {
    if (found_ < keep_)
      values_.insert(values_.end(), batch_, batch_ + std::min(count_, keep_ - found_));
    found_ += count_;
    count_ = 0;
  }

  std::vector<std::int32_t>& values_;
  const std::size_t keep_;
  std::size_t found_ = 0;
  std::size_t count_ = 0;
  std::int32_t batch_[kBatch];
};

// Takes one token from p, with every check: a blank, or a whole number (read
// up to end). Returns the position after it.
const unsigned char* ScalarToken(const unsigned char* p, const unsigned char* end,
                                 ListOutput& out) {
  unsigned digit = DigitValue(*p);
  if (digit > 9) {
    if (!IsBlank(*p)) FailNonDigit(*p);
    return p + 1;
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
  out.Push(static_cast<std::int32_t>(number));
  return p;
}

#if ZOBNIKARI_WHOLE_WORDS

constexpr std::ptrdiff_t kBlock = 64;
// A block reads up to this many bytes from its start: the last number's
// eight-byte word may begin at byte 62.
constexpr std::ptrdiff_t kBlockReach = kBlock + 8;

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

// Returns the index of the highest set bit of x. REQUIRES: x != 0.
inline unsigned HighestSetBit(std::uint64_t x) {
#if defined(__GNUC__) || defined(__clang__)
  return 63 - static_cast<unsigned>(__builtin_clzll(x));
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
  unsigned long index;
  _BitScanReverse64(&index, x);
  return static_cast<unsigned>(index);
#else
  unsigned index = 63;
  while ((x >> index) == 0) --index;
  return index;
#endif
}

// Returns the eight bytes from p as one little-endian word.
inline std::uint64_t Load8(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}

// Tries the common case on the 64 bytes from p: only digits and spaces, no
// number longer than four digits. On success appends every number that ends
// inside the block, sets p after the block's last space and returns true; else
// changes nothing and returns false. REQUIRES: kBlockReach bytes readable from
// p, and p at a token boundary.
inline bool TakeBlock(const unsigned char*& p, ListOutput& out) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  std::uint64_t spaces = 0;  // bit i: byte i is a space
  std::uint64_t odd = 0;     // a high bit set where a byte is neither digit nor space
  for (int w = 0; w < 8; ++w) {
    const std::uint64_t word = Load8(p + 8 * w);
    // Digits have bit 4 set and spaces have it clear: flipping both to 0
    // leaves 0 to 9 in a digit, 0 in a space. A byte with bit 4 clear must
    // come out 0, any other at most 9.
    const std::uint64_t clear = ~word & (kOnes * 0x10);
    const std::uint64_t flags = clear >> 4;  // 1 in each byte with bit 4 clear
    const std::uint64_t small = word ^ (kOnes * '0') ^ clear;
    // Adding 9 to a byte with bit 4 clear leaves it at most 9 only if it was 0.
    const std::uint64_t raised = small + flags * 9;
    odd |= ((raised & (kOnes * 0x7F)) + kOnes * 0x76) | raised | small;
    // Gather the flags into one byte.
    spaces |= ((flags * 0x0102040810204080u) >> 56) << (8 * w);
  }
  if ((odd & (kOnes * 0x80)) != 0 || spaces == 0) return false;
  const unsigned last = HighestSetBit(spaces);
  const std::uint64_t before = (std::uint64_t{1} << last) - 1;
  // No digit run below the last space may be longer than four digits.
  const std::uint64_t digits = ~spaces & before;
  if ((digits & (digits >> 1) & (digits >> 2) & (digits >> 3) & (digits >> 4)) != 0) return false;
  // Numbers start at a digit after a space (or at the block's start) and
  // count when their space is in the block: those start before `last`.
  std::uint64_t starts = digits & ((spaces << 1) | 1);
  std::int32_t* const slot = out.Reserve(kBlock / 2);
  std::size_t added = 0;
  while (starts != 0) {
    const std::size_t start = LowestSetBit(starts);
    starts &= starts - 1;
    const std::size_t length = LowestSetBit(spaces >> start);  // 1 to 4
    // Move the digits up to end at byte 6 (zeros below), then combine them
    // pairwise: the first multiplication makes pairs (shifted down to end at
    // byte 7), the second the number in the top lane.
    const std::uint64_t values = Load8(p + start) ^ (kOnes * '0');
    const std::uint64_t aligned = values << (((length ^ 7) & 7) << 3);
    const std::uint64_t pairs = (aligned * 2561) & 0x00FF00FF00FF00FFu;
    slot[added++] = static_cast<std::int32_t>((pairs * 6553601) >> 48);
  }
  out.Commit(added);
  p += last + 1;
  return true;
}

#endif

// Takes the tokens from p until it reaches stop, reading numbers up to end,
// a block at a time while p is below blockEnd. Returns where it stopped: at
// stop or after it, at a token boundary.
const unsigned char* TakeTokens(const unsigned char* p, const unsigned char* stop,
                                const unsigned char* end, const unsigned char* blockEnd,
                                ListOutput& out) {
  while (p < stop) {
#if ZOBNIKARI_WHOLE_WORDS
    if (p < blockEnd && TakeBlock(p, out)) continue;
    // A block that is not the common case is read byte by byte, all of it,
    // before the next block is tried.
    const unsigned char* const region = end - p > kBlock ? p + kBlock : end;
    do p = ScalarToken(p, end, out);
    while (p < region);
#else
    (void)blockEnd;
    p = ScalarToken(p, end, out);
#endif
  }
  return p;
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
  ListOutput out(values, keep);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
#if ZOBNIKARI_WHOLE_WORDS
  // Blocks straight from the line while a whole block's reach is left; the
  // rest from a copy padded with spaces, which read as the blanks they are.
  const unsigned char* const lineBlockEnd = end - p > kBlockReach ? end - kBlockReach : p;
  p = TakeTokens(p, lineBlockEnd, end, lineBlockEnd, out);
  unsigned char tail[2 * kBlockReach + 8];
  const std::size_t rest = static_cast<std::size_t>(end - p);
  if (rest > 0) std::memcpy(tail, p, rest);
  std::memset(tail + rest, ' ', sizeof tail - rest);
  TakeTokens(tail, tail + rest, tail + rest, tail + rest, out);
#else
  TakeTokens(p, end, end, end, out);
#endif
  return out.Finish();
}

}  // namespace zobnikari
