// URL encoding and decoding of names on the update host, byte by byte.
#include "services/UrlCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct CodecCase {
    std::string plain;
    std::string encoded;
};

// Both directions: encoding gives `encoded`, decoding gives `plain` back.
const CodecCase kRoundTrips[] = {
    {"", ""},
    {"AshgroveSetup-1.2_3.exe", "AshgroveSetup-1.2_3.exe"},
    {"my setup.exe", "my+setup.exe"},
    {"a/b?c=d&e", "a%2Fb%3Fc%3Dd%26e"},
    {"100%", "100%25"},
    {"~!*'()", "%7E%21%2A%27%28%29"},
    {"\xE6\x9B\xB4\xE6\x96\xB0.exe", "%E6%9B%B4%E6%96%B0.exe"},  // 更新.exe in UTF-8
    {"\x7F\x80\xFF", "%7F%80%FF"},
    {"+", "%2B"},
};

TEST(UrlCodec, EncodesAndDecodesBack) {
    for (const CodecCase& c : kRoundTrips) {
        EXPECT_EQ(UrlEncode(c.plain), c.encoded) << c.plain;
        EXPECT_EQ(UrlDecode(c.encoded), c.plain) << c.encoded;
    }
}

TEST(UrlCodec, EveryWhiteSpaceByteBecomesPlus) { EXPECT_EQ(UrlEncode(" \t\n\v\f\r"), "++++++"); }

TEST(UrlCodec, EncodesAZeroByteAndEveryControlByte) {
    EXPECT_EQ(UrlEncode(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(UrlEncode("\x01\x1F"), "%01%1F");
}

TEST(UrlCodec, DecodingToleratesWhatEncodingNeverWrites) {
    const CodecCase cases[] = {
        {"my setup.exe", "my%20setup.exe"},
        {"\xAB\xCD", "%ab%Cd"},  // either case
        {"%", "%"},              // nothing after the sign
        {"a%4", "a%4"},          // one character after it, at the end
        {"%zz", "%zz"},          // not hexadecimal
        {"%4g1", "%4g1"},
        {"% 1", "% 1"},  // the blank stays a blank
        {"%A", "%%41"},  // the first sign is copied, the second decodes
        {"a b", "a+b"},
        {"plain", "plain"},
    };
    for (const CodecCase& c : cases) EXPECT_EQ(UrlDecode(c.encoded), c.plain) << c.encoded;
}

TEST(UrlCodec, ADecodedZeroByteEndsTheResult) {
    EXPECT_EQ(UrlDecode("abc%00def"), "abc");
    EXPECT_EQ(UrlDecode("%00"), "");
    EXPECT_EQ(UrlDecode(std::string("ab\0cd", 5)), "ab");
}

TEST(UrlCodec, ASignAtTheEndOfAHeapStringIsNotReadPast) {
    // Long enough to live on the heap with no room behind it, so the
    // sanitizer sees any read beyond the terminator.
    const std::string stem(40, 'n');
    for (const char* tail : {"%", "%4", "%A"}) {
        const std::string name = stem + tail;
        EXPECT_EQ(UrlDecode(name), name);
    }
}
}  // namespace
