// The word-level helpers of the list parser: each fast form against its
// portable twin, so that both are run on every machine.
#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "common/bits.h"

namespace zobnikari {
namespace {

TEST(BitScans, FindTheLowestAndHighestSetBitBothWays) {
  std::mt19937_64 random(64);
  for (unsigned bit = 0; bit < 64; ++bit) {
    const std::uint64_t alone = std::uint64_t{1} << bit;
    // Bits above the lowest and below the highest must not change the answer.
    const std::uint64_t above = alone | (random() << bit);
    const std::uint64_t below = alone | (random() & (alone - 1));
    EXPECT_EQ(LowestSetBitPortable(alone), bit);
    EXPECT_EQ(LowestSetBitPortable(above), bit);
    EXPECT_EQ(LowestSetBit(above), bit);
    EXPECT_EQ(HighestSetBitPortable(alone), bit);
    EXPECT_EQ(HighestSetBitPortable(below), bit);
    EXPECT_EQ(HighestSetBit(below), bit);
  }
}

// Returns the 64 bytes from p as they would be shown in a message: printable
// ones as they are, others as \xNN.
std::string Shown(const unsigned char* p) {
  std::string shown;
  for (unsigned i = 0; i < kScanBlock; ++i) {
    if (p[i] >= 32 && p[i] < 127) {
      shown += static_cast<char>(p[i]);
    } else {
      shown += "\\x" + std::to_string(p[i]);
    }
  }
  return shown;
}

TEST(ScanBlock, AgreesWithItsPortableTwinOnEveryKindOfBlock) {
  // Blocks of digits and spaces (the common case), with other blanks, and of
  // random bytes; each at every alignment of a larger buffer.
  const std::string common = "0123456789012345678901234567890123456789          ";
  std::mt19937 random(20261208);
  unsigned char buffer[kScanBlock + 16];
  for (int round = 0; round < 3000; ++round) {
    for (unsigned char& byte : buffer) {
      switch (round % 3) {
        case 0:
          byte = static_cast<unsigned char>(common[random() % common.size()]);
          break;
        case 1:
          byte = static_cast<unsigned char>(" \t\r0123456789/:"[random() % 15]);
          break;
        default:
          byte = static_cast<unsigned char>(random());
      }
    }
    const unsigned char* const block = buffer + round % 16;
    std::uint16_t fast[kScanBlock];
    std::uint16_t plain[kScanBlock];
    const ByteClasses fastClasses = ScanBlock(block, fast);
    const ByteClasses plainClasses = ScanBlockPortable(block, plain);
    ASSERT_EQ(fastClasses.spaces, plainClasses.spaces) << Shown(block);
    ASSERT_EQ(fastClasses.digits, plainClasses.digits) << Shown(block);
    for (unsigned i = 0; i < kScanBlock; ++i) ASSERT_EQ(fast[i], plain[i]) << i << Shown(block);
  }
}

TEST(ScanBlock, GivesTheValueOfTheLastFourDigitsOfEveryRun) {
  // In a block of digits and spaces; "12345" ends in 2345.
  const std::string text = "7 42 100 1000 12345 0007 9 3 8 99999 5 6 7 8 9 10 11 12 13 1 234";
  ASSERT_EQ(text.size(), kScanBlock);
  std::uint16_t values[kScanBlock];
  const ByteClasses classes =
      ScanBlockPortable(reinterpret_cast<const unsigned char*>(text.data()), values);
  std::string found;
  for (unsigned i = 0; i < kScanBlock; ++i) {
    const bool digit = ((classes.digits >> i) & 1) != 0;
    const bool runEnds = i + 1 == kScanBlock || ((classes.digits >> (i + 1)) & 1) == 0;
    if (digit && runEnds) found += std::to_string(values[i]) + ",";
  }
  EXPECT_EQ(found, "7,42,100,1000,2345,7,9,3,8,9999,5,6,7,8,9,10,11,12,13,1,234,");
  EXPECT_EQ(classes.spaces & 0xF, 0b0010u) << "bit i stands for byte i";
}

}  // namespace
}  // namespace zobnikari
