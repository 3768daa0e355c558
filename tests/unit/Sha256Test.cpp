// SHA-256 against the FIPS 180-4 examples, fed whole and in pieces.
#include "services/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {
std::string Digest(const std::string& text, size_t piece) {
    Sha256 sha;
    for (size_t at = 0; at < text.size(); at += piece) {
        sha.Update(text.data() + at, std::min(piece, text.size() - at));
    }
    return sha.HexDigest();
}

TEST(Sha256, KnownDigestsWhateverThePieces) {
    const struct {
        std::string text;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // 55, 56 and 64 bytes: the padding fits, just misses, fills a block.
        {std::string(55, 'x'), "d5e285683cd4efc02d021a5c62014694958901005d6f71e89e0989fac77e4072"},
        {std::string(56, 'x'), "04c26261370ee7541549d16dee320c723e3fd14671e66a099afe0a377c16888e"},
        {std::string(64, 'x'), "7ce100971f64e7001e8fe5a51973ecdfe1ced42befe7ee8d5fd6219506b5393c"},
    };
    for (const auto& c : cases) {
        for (const size_t piece : {size_t{1}, size_t{7}, size_t{64}, size_t{4096}}) {
            if (c.text.size() > 100000 && piece < 64) continue;
            EXPECT_EQ(Digest(c.text, piece), c.digest) << c.text.size() << " by " << piece;
        }
    }
}

TEST(Sha256, ADigestTextIsSixtyFourHexDigits) {
    EXPECT_TRUE(Sha256::IsHexDigest(std::string(64, 'f')));
    EXPECT_TRUE(Sha256::IsHexDigest(std::string(32, 'A') + std::string(32, '0')));
    EXPECT_FALSE(Sha256::IsHexDigest(std::string(63, 'f')));
    EXPECT_FALSE(Sha256::IsHexDigest(std::string(65, 'f')));
    EXPECT_FALSE(Sha256::IsHexDigest(std::string(63, 'f') + "g"));
    EXPECT_FALSE(Sha256::IsHexDigest(""));
}
}  // namespace
