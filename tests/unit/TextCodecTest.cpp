#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "layout/TextCodec.h"

namespace {

struct Utf8Case {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.what; }

class Utf8ToUtf16Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToUtf16Test, Converts) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16) << GetParam().what;
}

// Ill-formed input follows the "maximal subpart" practice that
// MultiByteToWideChar(CP_UTF8, 0) applies: one U+FFFD per broken sequence,
// the offending byte read again as the start of the next one.
INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToUtf16Test,
    testing::Values(
        Utf8Case{"empty", "", u""}, Utf8Case{"ascii", "login", u"login"},
        Utf8Case{"embedded NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        Utf8Case{"two-byte edges", "\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
        Utf8Case{"three-byte edges", "\xE0\xA0\x80\xEF\xBF\xBF", u"\u0800\uFFFF"},
        Utf8Case{"chinese", "\xE5\xAE\x8B\xE4\xBD\x93", u"宋体"},
        Utf8Case{"byte-order mark kept", "\xEF\xBB\xBF<", u"\uFEFF<"},
        Utf8Case{"four-byte edges", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
        Utf8Case{"stray continuation", "a\x80z", u"a\uFFFDz"},
        Utf8Case{"invalid lead bytes", "\xC0\xC1\xF5\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"overlong two-byte", "\xC0\xAF", u"\uFFFD\uFFFD"},
        Utf8Case{"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"overlong four-byte", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        Utf8Case{"truncated then ascii", "\xE4\xB8\"", u"\uFFFD\""},
        Utf8Case{"truncated four-byte then ascii", "\xF0\x9F\x98<", u"\uFFFD<"},
        Utf8Case{"truncated at end", "ab\xE4", u"ab\uFFFD"},
        Utf8Case{"lead then lead", "\xE4\xE5\xAE\x8B", u"\uFFFD宋"}));

struct Utf16Case {
    const char* what;
    std::u16string utf16;
    std::string utf8;
};

void PrintTo(const Utf16Case& c, std::ostream* os) { *os << c.what; }

class Utf16ToUtf8Test : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16ToUtf8Test, Converts) {
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16ToUtf8Test,
    testing::Values(Utf16Case{"empty", u"", ""}, Utf16Case{"ascii", u"bbs", "bbs"},
                    Utf16Case{"two and three bytes", u"\u00E9\u4E2D", "\xC3\xA9\xE4\xB8\xAD"},
                    Utf16Case{"surrogate pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
                    Utf16Case{"lone high at end", std::u16string(1, 0xD83D), "\xEF\xBF\xBD"},
                    Utf16Case{"lone low", std::u16string({u'a', 0xDE00, u'b'}),
                              "a\xEF\xBF\xBD"
                              "b"},
                    Utf16Case{"pair reversed", std::u16string({0xDE00, 0xD83D}),
                              "\xEF\xBF\xBD\xEF\xBF\xBD"},
                    Utf16Case{"high then ascii", std::u16string({0xD83D, u'x'}), "\xEF\xBF\xBDx"}));

TEST(TextCodecRoundTrip, WellFormedTextSurvivesBothWays) {
    const std::string text = "config \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80 \xEF\xBF\xBE end";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
}

TEST(TextCodecRoundTrip, RepairedTextIsStable) {
    // Converting ill-formed input once gives text that then round-trips, which
    // the XML reader relies on when it repairs a document before parsing.
    const std::string broken = "a\xE4\xB8\"\xFF\xED\xA0\x80z";
    const std::string repaired = Utf16ToUtf8(Utf8ToUtf16(broken));
    EXPECT_EQ(Utf8ToUtf16(repaired), Utf8ToUtf16(broken));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(repaired)), repaired);
}

}  // namespace
