// SHA-256 against published digests: the standard's examples, lengths on
// either side of the padding's block boundary, and every byte value.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "web/sha256.h"

namespace zobnikari {
namespace {

// Returns the digest of bytes in lower-case hexadecimal.
std::string HexSha256(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (const std::uint8_t byte : Sha256(bytes)) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

// Returns the 256 byte values, 0 to 255 in order, times times.
std::string EveryByte(int times) {
  std::string bytes;
  for (int i = 0; i < times; ++i) {
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  }
  return bytes;
}

TEST(Sha256, GivesThePublishedDigests) {
  const struct {
    const char* name;
    std::string bytes;
    const char* digest;
  } rows[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"two_blocks_of_padding", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      // 55 bytes leave room for the length in the last block, 56 do not.
      {"55_bytes", std::string(55, 'a'),
       "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {"56_bytes", std::string(56, 'a'),
       "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {"63_bytes", std::string(63, 'a'),
       "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {"64_bytes", std::string(64, 'a'),
       "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {"119_bytes", std::string(119, 'a'),
       "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
      // NUL and the bytes from 128 up are bytes like any other.
      {"every_byte_value", EveryByte(3),
       "f3a25aa93aa2fbba28d79260535bbd6a5eb0fc1c24a8b0f04e12b484c1dfe363"},
      {"a_million_a", std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& row : rows) EXPECT_EQ(HexSha256(row.bytes), row.digest) << row.name;
}

}  // namespace
}  // namespace zobnikari
