// Word-level helpers of the list parser: bit scans, and the scan of a block of
// 64 input bytes into bit masks and digit-run values. The only place that
// names compiler built-ins or processor instructions; each has a portable twin
// that is always compiled, so that the tests run both on every machine.
//
// With ZOBNIKARI_PORTABLE_SCAN defined (the CMake option of that name) the
// program uses the portable twins alone, on any processor and with any
// compiler: the build that shows, on an x86-64 machine, the program as a
// processor without SSE2 and a compiler without these built-ins would run it.
#ifndef ZOBNIKARI_COMMON_BITS_H_
#define ZOBNIKARI_COMMON_BITS_H_

#include <cstdint>

#if !defined(ZOBNIKARI_PORTABLE_SCAN)
#if defined(__GNUC__) || defined(__clang__)
#define ZOBNIKARI_GNU_BIT_SCAN 1
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_ARM64))
#include <intrin.h>
#define ZOBNIKARI_MSVC_BIT_SCAN 1
#endif
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ZOBNIKARI_SSE2 1
#endif
#endif

namespace zobnikari {

// Returns the eight bytes from p as one word, p[0] in its lowest byte, on
// every byte order (compilers make one load of it where they can).
inline std::uint64_t LoadLittleEndian64(const unsigned char* p) {
  return std::uint64_t{p[0]} | std::uint64_t{p[1]} << 8 | std::uint64_t{p[2]} << 16 |
         std::uint64_t{p[3]} << 24 | std::uint64_t{p[4]} << 32 | std::uint64_t{p[5]} << 40 |
         std::uint64_t{p[6]} << 48 | std::uint64_t{p[7]} << 56;
}

// Returns the index of the lowest set bit of x, by De Bruijn multiplication:
// x & -x keeps that bit alone, and the multiplier's top six bits, shifted by
// its index, differ for every index. REQUIRES: x != 0.
inline unsigned LowestSetBitPortable(std::uint64_t x) {
  constexpr std::uint64_t kDeBruijn = 0x03F79D71B4CB0A89u;
  constexpr unsigned char kIndex[64] = {
      0,  1,  48, 2,  57, 49, 28, 3,  61, 58, 50, 42, 38, 29, 17, 4,  62, 55, 59, 36, 53, 51,
      43, 22, 45, 39, 33, 30, 24, 18, 12, 5,  63, 47, 56, 27, 60, 41, 37, 16, 54, 35, 52, 21,
      44, 32, 23, 11, 46, 26, 40, 15, 34, 20, 31, 10, 25, 14, 19, 9,  13, 8,  7,  6};
  return kIndex[((x & (0 - x)) * kDeBruijn) >> 58];
}

// Returns the index of the highest set bit of x. REQUIRES: x != 0.
inline unsigned HighestSetBitPortable(std::uint64_t x) {
  // Set every bit below the highest; what is left above it, shifted down,
  // is the highest bit alone.
  x |= x >> 1;
  x |= x >> 2;
  x |= x >> 4;
  x |= x >> 8;
  x |= x >> 16;
  x |= x >> 32;
  return LowestSetBitPortable(x ^ (x >> 1));
}

// Returns the index of the lowest set bit of x. REQUIRES: x != 0.
inline unsigned LowestSetBit(std::uint64_t x) {
#if defined(ZOBNIKARI_GNU_BIT_SCAN)
  return static_cast<unsigned>(__builtin_ctzll(x));
#elif defined(ZOBNIKARI_MSVC_BIT_SCAN)
  unsigned long index;
  _BitScanForward64(&index, x);
  return static_cast<unsigned>(index);
#else
  return LowestSetBitPortable(x);
#endif
}

// Returns the index of the highest set bit of x. REQUIRES: x != 0.
inline unsigned HighestSetBit(std::uint64_t x) {
#if defined(ZOBNIKARI_GNU_BIT_SCAN)
  return 63 - static_cast<unsigned>(__builtin_clzll(x));
#elif defined(ZOBNIKARI_MSVC_BIT_SCAN)
  unsigned long index;
  _BitScanReverse64(&index, x);
  return static_cast<unsigned>(index);
#else
  return HighestSetBitPortable(x);
#endif
}

// The bytes of a 64-byte block by class: bit i stands for byte i.
struct ByteClasses {
  std::uint64_t spaces;  // the byte is ' ' (32)
  std::uint64_t digits;  // the byte is '0' to '9'
};

// The bytes in a block that ScanBlock scans.
constexpr unsigned kScanBlock = 64;

// Scans the 64 bytes from p in plain C++: returns their classes and sets
// values[i] to the value of the last four digits (or fewer) of the digit run
// that ends at byte i, where byte i is a digit. A byte's value is its low
// four bits, so a space counts 0 where a formula below meets one; bytes before
// p count as no digits. Exactly, with byte arithmetic modulo 256:
//   pair[i]   = digit(i) ? low(i) + 10 * low(i - 1) : 0
//   values[i] = pair[i] + 100 * (digit(i - 1) ? pair[i - 2] : 0)
// REQUIRES: 64 bytes readable from p; values has 64 entries.
inline ByteClasses ScanBlockPortable(const unsigned char* p, std::uint16_t* values) {
  // Loops of one kind of step each, over whole arrays with a leading zero
  // for the bytes before p, so that a compiler can run each on many bytes at
  // once with whatever vector unit the processor has.
  unsigned char low[kScanBlock + 1] = {0};
  unsigned char digit[kScanBlock + 1] = {0};
  unsigned char pair[kScanBlock + 2] = {0, 0};
  for (unsigned i = 0; i < kScanBlock; ++i) {
    low[i + 1] = static_cast<unsigned char>(p[i] & 0x0Fu);
    digit[i + 1] = static_cast<unsigned char>(static_cast<unsigned char>(p[i] - '0') <= 9);
  }
  for (unsigned i = 0; i < kScanBlock; ++i)
    pair[i + 2] = static_cast<unsigned char>(digit[i + 1] * (low[i + 1] + 10 * low[i]));
  for (unsigned i = 0; i < kScanBlock; ++i)
    values[i] = static_cast<std::uint16_t>(pair[i + 2] + 100 * (digit[i] * pair[i]));
  unsigned char space[kScanBlock];
  for (unsigned i = 0; i < kScanBlock; ++i) space[i] = static_cast<unsigned char>(p[i] == ' ');
  // Eight flags of 0 or 1 become eight bits: multiplying the word of flags by
  // kGather adds flag i, shifted to bit 56 + i, into the top byte (every other
  // product lands below bit 56 or above bit 63, each at a bit of its own).
  constexpr std::uint64_t kGather = 0x0102040810204080u;
  ByteClasses classes{0, 0};
  for (unsigned w = 0; w < kScanBlock / 8; ++w) {
    classes.spaces |= ((LoadLittleEndian64(space + 8 * w) * kGather) >> 56) << (8 * w);
    classes.digits |= ((LoadLittleEndian64(digit + 1 + 8 * w) * kGather) >> 56) << (8 * w);
  }
  return classes;
}

// As ScanBlockPortable, sixteen bytes at a time with SSE2 (which every
// x86-64 processor has) where the compiler offers it:
//   - a comparison per class, its lanes' high bits gathered by movemask;
//   - the low four bits of every byte, and the same shifted up one byte
//     (with the last byte of the previous sixteen), times 10 in 16-bit
//     lanes (each byte stays below 256, so the lanes stay apart), added and
//     masked to the digits: the pairs;
//   - the pairs shifted up two bytes, masked where the byte before is a
//     digit, widened to 16 bits, times 100, plus the pairs: the values.
// REQUIRES: as ScanBlockPortable.
inline ByteClasses ScanBlock(const unsigned char* p, std::uint16_t* values) {
#if defined(ZOBNIKARI_SSE2)
  const __m128i zero = _mm_setzero_si128();
  const __m128i space = _mm_set1_epi8(' ');
  // Adding 0x50 takes '0' to '9' (0x30 to 0x39) to 0x80 to 0x89, the signed
  // bytes below -118.
  const __m128i bias = _mm_set1_epi8(0x50);
  const __m128i limit = _mm_set1_epi8(-118);
  const __m128i low = _mm_set1_epi8(0x0F);
  const __m128i ten = _mm_set1_epi16(10);
  const __m128i hundred = _mm_set1_epi16(100);
  __m128i lastLow = zero;
  __m128i lastPair = zero;
  __m128i lastDigit = zero;
  ByteClasses classes{0, 0};
  for (unsigned i = 0; i < kScanBlock / 16; ++i) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    const __m128i digit = _mm_cmpgt_epi8(limit, _mm_add_epi8(bytes, bias));
    const auto spaceBits =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, space)));
    const auto digitBits = static_cast<std::uint32_t>(_mm_movemask_epi8(digit));
    classes.spaces |= std::uint64_t{spaceBits} << (16 * i);
    classes.digits |= std::uint64_t{digitBits} << (16 * i);

    const __m128i lowBits = _mm_and_si128(bytes, low);
    const __m128i lowBefore = _mm_or_si128(_mm_slli_si128(lowBits, 1), _mm_srli_si128(lastLow, 15));
    const __m128i pair =
        _mm_and_si128(_mm_add_epi8(lowBits, _mm_mullo_epi16(lowBefore, ten)), digit);
    const __m128i pairBefore = _mm_or_si128(_mm_slli_si128(pair, 2), _mm_srli_si128(lastPair, 14));
    const __m128i digitBefore =
        _mm_or_si128(_mm_slli_si128(digit, 1), _mm_srli_si128(lastDigit, 15));
    const __m128i high = _mm_and_si128(pairBefore, digitBefore);
    const __m128i first = _mm_add_epi16(_mm_unpacklo_epi8(pair, zero),
                                        _mm_mullo_epi16(_mm_unpacklo_epi8(high, zero), hundred));
    const __m128i second = _mm_add_epi16(_mm_unpackhi_epi8(pair, zero),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(high, zero), hundred));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(values + 16 * i), first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(values + 16 * i + 8), second);
    lastLow = lowBits;
    lastPair = pair;
    lastDigit = digit;
  }
  return classes;
#else
  return ScanBlockPortable(p, values);
#endif
}

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_BITS_H_
