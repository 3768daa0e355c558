// SHA-256 (FIPS 180-4), fed in pieces, for checking a downloaded package
// against the digest its manifest announces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Sha256 {
public:
    Sha256();

    void Update(const void* bytes, size_t count);
    // The digest of everything fed so far as 64 lower-case hex digits. Ends
    // the computation: feed nothing more afterwards.
    std::string HexDigest();

    // Whether `text` is a digest as a manifest writes it: 64 hex digits,
    // either case.
    static bool IsHexDigest(const std::string& text);

private:
    void Compress(const uint8_t* block);

    std::array<uint32_t, 8> m_state;
    std::array<uint8_t, 64> m_block{};
    size_t m_blockUsed = 0;
    uint64_t m_totalBytes = 0;
};
