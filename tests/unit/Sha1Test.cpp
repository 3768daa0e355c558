// SHA-1 against the published test vectors, including the lengths at which
// the padding spills into another block.
#include "cef/backend/chromium/Sha1.h"

#include "ByteText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cefimpl::chromium::Sha1Digest;
using testbytes::Hex;

struct DigestCase {
    std::string message;
    const char* digest;
};

TEST(Sha1, MatchesKnownDigests) {
    const DigestCase cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"The quick brown fox jumps over the lazy dog", "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {std::string("\0", 1), "5ba93c9db0cff93f52b521d7420e43f6eda2784f"},
    };
    for (const DigestCase& c : cases) {
        EXPECT_EQ(Hex(Sha1Digest(c.message)), c.digest) << c.message.substr(0, 60);
    }
}

TEST(Sha1, PaddingAtBlockBoundaries) {
    // 55 bytes still fit the length in the block, 56 to 64 do not.
    const DigestCase cases[] = {
        {std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {std::string(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {std::string(63, 'a'), "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
        {std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {std::string(65, 'a'), "11655326c708d70319be2610e8a57d9a5b959d3b"},
    };
    for (const DigestCase& c : cases)
        EXPECT_EQ(Hex(Sha1Digest(c.message)), c.digest) << c.message.size();
}

}  // namespace
