// SHA-256 of a file's bytes, so that the page can show the checksum of the
// chosen test data beside the one that the organisers publish.
#ifndef ZOBNIKARI_WEB_SHA256_H_
#define ZOBNIKARI_WEB_SHA256_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace zobnikari {

// Returns the SHA-256 digest (FIPS 180-4) of bytes.
std::array<std::uint8_t, 32> Sha256(std::string_view bytes);

}  // namespace zobnikari

#endif  // ZOBNIKARI_WEB_SHA256_H_
