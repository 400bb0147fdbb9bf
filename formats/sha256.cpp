// SHA-256 as published (FIPS 180-4): 64-byte blocks, big-endian words, the length in bits at
// the end of the padding.
#include "formats/sha256.h"

#include <algorithm>
#include <cstring>

namespace gulper {

namespace {

constexpr std::array<uint32_t, 64> K = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t Rotate(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

void Block(std::array<uint32_t, 8>& h, const unsigned char* p) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
        w[i] = uint32_t(p[4 * i]) << 24 | uint32_t(p[4 * i + 1]) << 16 |
               uint32_t(p[4 * i + 2]) << 8 | uint32_t(p[4 * i + 3]);
    }
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 =
            k + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) + ((e & f) ^ (~e & g)) + K[i] + w[i];
        const uint32_t t2 =
            (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const uint32_t out[8] = {a, b, c, d, e, f, g, k};
    for (int i = 0; i < 8; ++i) {
        h[i] += out[i];
    }
}

}  // namespace

void Sha256::Add(const char* data, size_t size) {
    total += size;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    while (size > 0) {
        // Whole blocks straight from the data; the rest waits in `block`.
        if (held == 0 && size >= 64) {
            Block(h, bytes);
            bytes += 64;
            size -= 64;
            continue;
        }
        const size_t n = std::min(size, size_t(64) - held);
        std::memcpy(block + held, bytes, n);
        held += n;
        bytes += n;
        size -= n;
        if (held == 64) {
            Block(h, block);
            held = 0;
        }
    }
}

std::string Sha256::Hex() {
    // A one bit, zeros, and the length in bits: in this block or the next.
    const uint64_t bits = total * 8;
    const unsigned char one = 0x80;
    Add(reinterpret_cast<const char*>(&one), 1);
    const unsigned char zero = 0;
    while (held != 56) {
        Add(reinterpret_cast<const char*>(&zero), 1);
    }
    for (int i = 7; i >= 0; --i) {
        block[held++] = static_cast<unsigned char>(bits >> (8 * i));
    }
    Block(h, block);
    held = 0;
    static const char HEX[] = "0123456789abcdef";
    std::string out;
    for (uint32_t word : h) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            out += HEX[(word >> shift) & 15];
        }
    }
    return out;
}

std::string Sha256Hex(const std::string& bytes) {
    Sha256 sha;
    sha.Add(bytes);
    return sha.Hex();
}

}  // namespace gulper
