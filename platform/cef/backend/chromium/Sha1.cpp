#include "cef/backend/chromium/Sha1.h"

#include <array>
#include <cstdint>

namespace cefimpl::chromium {
namespace {

using State = std::array<uint32_t, 5>;

uint32_t RotateLeft(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

uint32_t BigEndianWord(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

uint32_t RoundFunction(int round, uint32_t b, uint32_t c, uint32_t d) {
    if (round < 20) return (b & c) | (~b & d);
    if (round < 40) return b ^ c ^ d;
    if (round < 60) return (b & c) | (b & d) | (c & d);
    return b ^ c ^ d;
}

uint32_t RoundConstant(int round) {
    static const uint32_t kConstants[] = {0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xCA62C1D6};
    return kConstants[round / 20];
}

void CompressBlock(State& state, const unsigned char* block) {
    std::array<uint32_t, 80> w;
    for (int i = 0; i < 16; ++i) w[i] = BigEndianWord(block + 4 * i);
    for (int i = 16; i < 80; ++i) w[i] = RotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);

    uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
    for (int i = 0; i < 80; ++i) {
        const uint32_t next =
            RotateLeft(a, 5) + RoundFunction(i, b, c, d) + e + RoundConstant(i) + w[i];
        e = d;
        d = c;
        c = RotateLeft(b, 30);
        b = a;
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
}

// The message, a one bit, zeros, and the message's length in bits, to a
// whole number of 64-byte blocks.
std::string Padded(std::string_view bytes) {
    std::string padded(bytes);
    padded += '\x80';
    while (padded.size() % 64 != 56) padded += '\0';
    const uint64_t bitLength = uint64_t{bytes.size()} * 8;
    for (int shift = 56; shift >= 0; shift -= 8) padded += static_cast<char>(bitLength >> shift);
    return padded;
}

}  // namespace

std::string Sha1Digest(std::string_view bytes) {
    State state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const std::string padded = Padded(bytes);
    const auto* data = reinterpret_cast<const unsigned char*>(padded.data());
    for (size_t offset = 0; offset < padded.size(); offset += 64)
        CompressBlock(state, data + offset);

    std::string digest;
    for (uint32_t word : state) {
        for (int shift = 24; shift >= 0; shift -= 8) digest += static_cast<char>(word >> shift);
    }
    return digest;
}

}  // namespace cefimpl::chromium
