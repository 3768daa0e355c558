// The update flow's rules: version words, the package source, the object
// paths fetched and the updater's name and command line.
#include "services/UpdateRules.h"

#include <gtest/gtest.h>

namespace {
constexpr uint32_t kClientHigh = 65536;  // 1.0
constexpr uint32_t kClientLow = 0;       // .0.0

struct VersionCase {
    const char* what;
    int32_t major;
    int32_t minor;
    bool outOfDate;
};

TEST(UpdateRules, ComparesVersionWordsAsUnsignedNumbers) {
    const VersionCase cases[] = {
        {"1.2.3.4 is newer", 65538, 196612, true},
        {"the same version", 65536, 0, false},
        {"1.0.0.1 is newer", 65536, 1, true},
        {"an older major word wins over a larger minor", 65535, 0x7FFFFFFF, false},
        {"nothing announced (0, 0)", 0, 0, false},
        {"-1 compares as 4294967295", -1, 0, true},
        {"a negative minor with the same major", 65536, -1, true},
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(UpdateRules::IsOutOfDate(kClientHigh, kClientLow, c.major, c.minor), c.outOfDate)
            << c.what;
    }
}

TEST(UpdateRules, PicksTheSourceByTheDrawScaledToTheItems) {
    const struct {
        int r;
        size_t count;
        size_t index;
    } cases[] = {
        {0, 1, 0},     {32767, 1, 0}, {41, 3, 0},    {16383, 2, 0}, {16384, 2, 1}, {32767, 2, 1},
        {32766, 3, 2}, {10922, 3, 0}, {10923, 3, 1}, {41, 800, 1},  {41, 799, 0},  {32767, 5, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateRules::PickSource(c.r, c.count), c.index) << c.r << " of " << c.count;
    }
}

TEST(UpdateRules, ObjectPathsJoinPathAndFileWithoutASeparator) {
    EXPECT_EQ(UpdateRules::ManifestObjectPath({u"h", u"/a/b", u"update.xml", u""}),
              u"/a/bupdate.xml");
    EXPECT_EQ(UpdateRules::ManifestObjectPath({u"h", u"/u/", u"a b.xml", u""}), u"/u/a b.xml");

    const struct {
        const char16_t* file;
        const char16_t* requested;
    } packages[] = {
        {u"my setup.exe", u"/p/my+setup.exe"},
        {u"Ashgrove-1.0_2.exe", u"/p/Ashgrove-1.0_2.exe"},
        {u"更新.exe", u"/p/%E6%9B%B4%E6%96%B0.exe"},
        {u"", u"/p/"},
    };
    for (const auto& c : packages) {
        EXPECT_EQ(UpdateRules::PackageObjectPath({u"h", u"/p/", c.file, u""}), c.requested);
    }
}

TEST(UpdateRules, TheUpdaterIsTheTemporaryCopyNamedAfterThePackage) {
    const struct {
        const char16_t* package;
        const char16_t* updater;
    } cases[] = {
        {u"C:\\t\\pkg.exe", u"C:\\tmp\\\\updatepkg.exe"},
        {u"C:\\t\\my setup.1.exe", u"C:\\tmp\\\\updatemy setup.1.exe"},
        {u"C:\\t\\noext", u"C:\\tmp\\\\updatenoext"},
        {u"pkg.exe", u"C:\\tmp\\\\updatepkg.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpdateRules::UpdaterPath(u"C:\\tmp\\", c.package), c.updater) << c.package;
    }
}

TEST(UpdateRules, TheCommandLineStartsWithABlankAndQuotesBothPaths) {
    EXPECT_EQ(UpdateRules::UpdaterCommandLine(1234, u"C:\\t\\pkg.exe", u"C:\\c\\client.exe"),
              u" -u -p1234 \"C:\\t\\pkg.exe\" \"C:\\c\\client.exe\"");
    const std::u16string longPath(20000, u'x');
    EXPECT_EQ(UpdateRules::UpdaterCommandLine(1, longPath, u"e").size(), 16383u);
}
}  // namespace
