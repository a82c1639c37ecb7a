// How a list line is parsed.
//
// The rules are plain: blanks separate numbers, any other byte but a digit
// fails (source line 55), and a digit that would take its number past
// 2147483647 fails (source line 61). Read byte by byte (ScalarToken below),
// they cost a test and a branch per byte. The common line, though, holds
// numbers of one to four digits between single spaces, and that case is taken
// a block of 64 bytes at a time (TakeBlock):
//
//   1. ScanBlock (common/bits.h) marks the block's spaces and digits as two
//      64-bit masks, and works out, at every digit, the value of the digits
//      of its run up to there (of the last four, in a longer run).
//      Any byte but a digit or a space (another blank, or a byte that must
//      fail) sends the block to the byte-by-byte path.
//   2. The block ends after its last space; a number cut by the block's end
//      is left for the next block, which starts after that space. A block
//      without a space goes byte by byte.
//   3. A run of five digits sends the block to the byte-by-byte path: only
//      that path tests the limit and reads past leading zeros.
//   4. Every number now ends at a digit followed by a space, and its value is
//      the one worked out at that digit: a bit scan finds each such digit and
//      the value is copied out.
//
// Both paths give the same numbers and the same failures: the block path
// takes only blocks that hold nothing to fail on and no number longer than it
// can read, and gives every other block, from its start, to the plain path.
// A block reads 64 bytes, so a line's last bytes are copied into a small
// buffer padded with spaces, which read as the blanks they are.
#include "common/numbers.h"

#include <algorithm>
#include <cstring>

#include "common/assertion.h"
#include "common/bits.h"

namespace zobnikari {

namespace {

// Returns the value of a digit byte, or a value above 9 for any other byte.
inline unsigned DigitValue(unsigned char c) { return static_cast<unsigned>(c) - '0'; }

// The largest number a list may hold: a number so far above a tenth of it,
// or equal to that tenth with a digit above its last, cannot take one more.
constexpr std::uint32_t kLargest = 2147483647;

// A block: the bytes that ScanBlock reads, and no more.
constexpr std::size_t kBlock = kScanBlock;
// A block yields at most one number per digit-and-space pair.
constexpr std::size_t kMostPerBlock = kBlock / 2;
static_assert(kMostPerBlock <= kListSlack, "a block's numbers must fit in the slack");

// Where the numbers of one line go: values[0 .. keep), and the count of all;
// and the line's defect, once one is met.
class ListOutput {
 public:
  ListOutput(std::int32_t* values, std::size_t keep, ListDefect& defect)
      : values_(values), keep_(keep), defect_(defect) {}

  // Returns room for kMostPerBlock numbers at the end of the list: in values
  // while the kept numbers are not complete (the slack takes what passes
  // keep), else in a scratch area that nobody reads.
  std::int32_t* Room() { return count_ <= keep_ ? values_ + count_ : scratch_; }
  // Counts added numbers written to Room().
  void Added(std::size_t added) { count_ += added; }
  // Adds one number.
  void Push(std::int32_t value) {
    if (count_ < keep_) values_[count_] = value;
    ++count_;
  }
  std::size_t count() const { return count_; }
  // Records the line's defect: check, and what its message shows.
  void Fail(Check check, std::uint32_t value, char digit = 0) {
    defect_.found = true;
    defect_.check = check;
    defect_.value = value;
    defect_.digit = digit;
  }

 private:
  std::int32_t* const values_;
  const std::size_t keep_;
  ListDefect& defect_;
  std::size_t count_ = 0;
  std::int32_t scratch_[kMostPerBlock];
};

// Takes one token from p, with every check: a blank, or a whole number (read
// up to end). Returns the position after it; at a defect, records it and
// returns end, which ends every loop over the line. REQUIRES: p < end.
const unsigned char* ScalarToken(const unsigned char* p, const unsigned char* end,
                                 ListOutput& out) {
  unsigned digit = DigitValue(*p);
  if (digit > 9) {
    if (IsBlank(*p)) return p + 1;
    out.Fail(Check::kListByteNotDigit, *p);
    return end;
  }
  // Nine digits always fit; only from the tenth on can a number pass
  // 2147483647, so only there is each digit tested before it is taken.
  std::uint32_t number = digit;
  const unsigned char* const safeEnd = end - p > 9 ? p + 9 : end;
  for (++p; p < safeEnd && (digit = DigitValue(*p)) <= 9; ++p) number = number * 10 + digit;
  for (; p < end && (digit = DigitValue(*p)) <= 9; ++p) {
    if (number > kLargest / 10 || (number == kLargest / 10 && digit > kLargest % 10)) {
      out.Fail(Check::kListNumberTooLarge, number, static_cast<char>(*p));
      return end;
    }
    number = number * 10 + digit;
  }
  out.Push(static_cast<std::int32_t>(number));
  return p;
}

// Takes the common case on the 64 bytes from p, as the comment at the top of
// this file tells. On success adds every number that ends inside the block,
// moves p past the block's last space and returns true; else changes nothing
// and returns false. REQUIRES: kBlock bytes readable from p, and p at a
// token boundary (the line's start, or just after a blank or a number).
inline bool TakeBlock(const unsigned char*& p, ListOutput& out) {
  std::uint16_t values[kScanBlock];
  const ByteClasses classes = ScanBlock(p, values);
  if ((classes.spaces | classes.digits) != ~std::uint64_t{0} || classes.spaces == 0) return false;
  const unsigned last = HighestSetBit(classes.spaces);
  const std::uint64_t digits = classes.digits & ((std::uint64_t{1} << last) - 1);
  if ((digits & (digits >> 1) & (digits >> 2) & (digits >> 3) & (digits >> 4)) != 0) return false;
  std::uint64_t ends = digits & ~(digits >> 1);
  std::int32_t* const slot = out.Room();
  std::size_t added = 0;
  while (ends != 0) {
    slot[added++] = values[LowestSetBit(ends)];
    ends &= ends - 1;
  }
  out.Added(added);
  p += last + 1;
  return true;
}

// Takes the tokens from p until it reaches stop, reading numbers up to end,
// a block at a time while a whole block is left before readable. Returns
// where it stopped: at stop or after it, at a token boundary.
const unsigned char* TakeTokens(const unsigned char* p, const unsigned char* stop,
                                const unsigned char* end, const unsigned char* readable,
                                ListOutput& out) {
  while (p < stop) {
    if (readable - p >= static_cast<std::ptrdiff_t>(kBlock) && TakeBlock(p, out)) continue;
    // A block that is not the common case is read byte by byte, all of it,
    // before the next block is tried.
    const unsigned char* const region =
        end - p > static_cast<std::ptrdiff_t>(kBlock) ? p + kBlock : end;
    do p = ScalarToken(p, end, out);
    while (p < region);
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

std::size_t ParseIntList(std::string_view text, std::int32_t* values, std::size_t keep,
                         ListDefect& defect) {
  defect.found = false;
  ListOutput out(values, keep, defect);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  // Blocks straight from the line while a whole block is left; then the rest
  // from a copy padded with spaces. The rest is at most a block long, and a
  // block may start at its last byte and read a whole block from there: the
  // copy holds two blocks.
  const unsigned char* const lineStop =
      end - p > static_cast<std::ptrdiff_t>(kBlock) ? end - kBlock : p;
  p = TakeTokens(p, lineStop, end, end, out);
  unsigned char tail[2 * kBlock];
  const std::size_t rest = static_cast<std::size_t>(end - p);
  if (rest > 0) std::memcpy(tail, p, rest);
  std::memset(tail + rest, ' ', sizeof tail - rest);
  TakeTokens(tail, tail + rest, tail + rest, tail + sizeof tail, out);
  return out.count();
}

std::string MessageOf(const ListDefect& defect) {
  if (defect.check == Check::kListByteNotDigit)
    return "namesto stevke se pojavlja znak s kodo " + IntToString(std::int64_t{defect.value});
  return "stevilo " + IntToString(std::int64_t{defect.value}) + defect.digit + " je preveliko";
}

std::size_t ParseIntList(std::string_view text, std::int32_t* values, std::size_t keep) {
  ListDefect defect;
  const std::size_t count = ParseIntList(text, values, keep, defect);
  if (defect.found) ThrowAssertion(MessageOf(defect), kSourcePath, defect.check);
  return count;
}

std::size_t ParseIntList(std::string_view text, std::vector<std::int32_t>& values,
                         std::size_t keep) {
  // A line holds at most one number per two bytes, and one more.
  const std::size_t room = std::min(keep, text.size() / 2 + 1);
  // The list holds the parser's slack only while it parses: afterwards its
  // kept numbers, and after a failure none.
  struct Trim {
    std::vector<std::int32_t>& values;
    std::size_t size = 0;
    ~Trim() { values.resize(size); }
  } trim{values};
  values.resize(room + kListSlack);
  const std::size_t count = ParseIntList(text, values.data(), room);
  trim.size = std::min(count, room);
  return count;
}

}  // namespace zobnikari
