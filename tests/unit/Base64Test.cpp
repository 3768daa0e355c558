// Base64 both ways, and the text the decoder refuses.
#include "cef/backend/chromium/Base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cefimpl::chromium::Base64Decode;
using cefimpl::chromium::Base64Encode;

struct Base64Case {
    std::string bytes;
    std::string text;
};

TEST(Base64, EncodesAndDecodesBack) {
    const Base64Case cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\0\0\0", 3), "AAAA"},
        {"\xFB\xFF\xBF", "+/+/"},  // the two last letters of the alphabet
        {"\xFF", "/w=="},
    };
    for (const Base64Case& c : cases) {
        EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.text;
        EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
    }
}

TEST(Base64, EveryByteValueSurvivesTheRoundTrip) {
    std::string all;
    for (int value = 0; value < 256; ++value) all += static_cast<char>(value);
    EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

TEST(Base64, RefusesWhatItNeverWrites) {
    const char* const refused[] = {
        "Zg",        // not padded
        "Zg=",       // length not a multiple of four
        "Zg==Zg==",  // padding before the end
        "Z===",      // too much padding
        "====",
        "Zh==",  // bits left over behind the last byte
        "Zm9=",
        "Zm9v\n",  // line breaks are not ours
        "Zm-v",    // the URL alphabet
        "Zm9 ",
    };
    for (const char* text : refused) EXPECT_EQ(Base64Decode(text), std::nullopt) << text;
}

}  // namespace
