// SHA-256 of a text, so that a study can name the exact settings it was played under and
// parts played elsewhere can be told apart from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace gulper {

// A digest taken piece by piece, so that a study's rows need not be held as one text.
class Sha256 {
  public:
    void Add(const char* data, size_t size);
    void Add(const std::string& bytes) { Add(bytes.data(), bytes.size()); }
    // The digest of everything added, as 64 lowercase hexadecimal digits; adds nothing more.
    std::string Hex();

  private:
    std::array<uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    unsigned char block[64] = {};
    size_t held = 0;  // bytes in `block`
    uint64_t total = 0;
};

// The digest of one text.
std::string Sha256Hex(const std::string& bytes);

}  // namespace gulper
