// Local file names of downloads: decoded from the object path, and refused
// when they could name anything but a file in the temporary directory.
#include "services/DownloadName.h"

#include <gtest/gtest.h>

namespace {
struct NameCase {
    const char16_t* objectPath;
    const char16_t* name;
};

TEST(DownloadName, TheLastSegmentDecoded) {
    const NameCase cases[] = {
        {u"/a/bupdate.xml", u"bupdate.xml"},
        {u"/p/my+setup.exe", u"my setup.exe"},
        {u"/p/%E6%9B%B4%E6%96%B0.exe", u"更新.exe"},
        {u"plain.exe", u"plain.exe"},
        {u"/p/", u""},
        {u"/p/ab%00cd.exe", u"ab"},
        {u"/p/100%.exe", u"100%.exe"},
        {u"/p/a%2Fb.exe", u"a/b.exe"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(DownloadName::FromObjectPath(c.objectPath), c.name) << c.objectPath;
    }
}

TEST(DownloadName, OnlyPlainFileNamesAreSafe) {
    const struct {
        const char16_t* name;
        bool safe;
    } cases[] = {
        {u"AshgroveSetup.exe", true},
        {u"my setup.exe", true},
        {u"更新.exe", true},
        {u".hidden", true},
        {u"", false},
        {u".", false},
        {u"..", false},
        {u"a/b.exe", false},
        {u"..\\evil.exe", false},
        {u"C:evil.exe", false},
        {u"a<b", false},
        {u"a>b", false},
        {u"a\"b", false},
        {u"a|b", false},
        {u"a?b", false},
        {u"a*b", false},
        {u"line\nbreak", false},
        {u"tab\tname", false},
        {u"del\x7f", false},
        {u"trailing.", false},
        {u"trailing ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DownloadName::IsSafe(c.name), c.safe) << std::u16string(c.name).size();
    }
}

TEST(DownloadName, EncodedSeparatorsAndDotsAreRefusedAfterDecoding) {
    const char16_t* refused[] = {
        u"/p/..%5Cevil.exe", u"/p/%2E%2E", u"/p/C%3Aevil.exe", u"/p/a%2Fb", u"/p/",
        u"/p/%0D%0A.exe",    u"/p/%00"};
    for (const char16_t* path : refused) {
        EXPECT_FALSE(DownloadName::SafeFromObjectPath(path).has_value()) << path[3];
    }
    EXPECT_EQ(DownloadName::SafeFromObjectPath(u"/p/my+setup.exe").value(), u"my setup.exe");
}
}  // namespace
