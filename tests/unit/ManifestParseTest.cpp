#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "layout/LayoutConfig.h"
#include "layout/TextCodec.h"

namespace {

using Items = std::vector<std::tuple<std::u16string, std::u16string, std::u16string>>;

Items ItemsOf(const LayoutConfig& config) {
    Items items;
    for (const UpdateServer& s : config.manifestItems) items.emplace_back(s.host, s.path, s.file);
    return items;
}

const std::tuple<std::u16string, std::u16string, std::u16string> kOldItem{u"old", u"/", u"f"};

// A model that already holds values, so a case shows what it changes and what
// it leaves alone.
LayoutConfig Prefilled() {
    LayoutConfig config;
    config.major = 5;
    config.minor = 6;
    config.manifestItems.push_back({u"old", u"/", u"f"});
    return config;
}

void ExpectUnchanged(const LayoutConfig& config) {
    EXPECT_EQ(config.major, 5);
    EXPECT_EQ(config.minor, 6);
    EXPECT_EQ(ItemsOf(config), Items{kOldItem});
}

// Manifest files in the test temporary directory, removed after each test.
class ManifestFileTest : public testing::Test {
protected:
    std::string Write(const std::string& bytes) {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name() + "." +
                           std::to_string(paths_.size()) + ".xml";
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        paths_.push_back(testing::TempDir() + name);
        std::ofstream(paths_.back(), std::ios::binary) << bytes;
        return paths_.back();
    }

    void TearDown() override {
        for (const std::string& path : paths_) std::remove(path.c_str());
    }

private:
    std::vector<std::string> paths_;
};

struct ManifestCase {
    const char* what;
    std::string text;
    bool ok;
    int32_t major;
    int32_t minor;
    Items added;
};

void PrintTo(const ManifestCase& c, std::ostream* os) { *os << c.what; }

class ManifestCaseTest : public ManifestFileTest,
                         public testing::WithParamInterface<ManifestCase> {};

TEST_P(ManifestCaseTest, StoresWhatTheManifestStates) {
    const ManifestCase& c = GetParam();
    LayoutConfig config = Prefilled();
    EXPECT_EQ(config.ParseManifest(Write(c.text).c_str()), c.ok);
    EXPECT_EQ(config.major, c.major);
    EXPECT_EQ(config.minor, c.minor);
    Items expected{kOldItem};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(ItemsOf(config), expected);
}

std::string Repeat(const std::string& unit, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += unit;
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManifestCaseTest,
    testing::Values(
        ManifestCase{"version and item",
                     "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                     R"(<config><game major="65538" minor="196612">)"
                     R"(<item host="h" path="/p/" file="pkg.exe"/></game></config>)",
                     true,
                     65538,
                     196612,
                     {{u"h", u"/p/", u"pkg.exe"}}},
        ManifestCase{
            "major without minor", R"(<config><game major="65537"/></config>)", true, 65537, 6, {}},
        ManifestCase{"non-numeric major",
                     R"(<config><game major="abc" minor="2x"/></config>)",
                     true,
                     0,
                     2,
                     {}},
        ManifestCase{"negative major", R"(<config><game major="-1"/></config>)", true, -1, 6, {}},
        ManifestCase{"only the first game counts",
                     R"(<config><game major="1"><item host="a"/></game>)"
                     R"(<game major="2" minor="3"><item host="b"/></game></config>)",
                     true,
                     1,
                     6,
                     {{u"a", u"", u""}}},
        ManifestCase{"no default file name",
                     R"(<config><game><item host="h" path="/p/"/><item/></game></config>)",
                     true,
                     5,
                     6,
                     {{u"h", u"/p/", u""}, {u"", u"", u""}}},
        ManifestCase{"only direct items of the game",
                     R"(<config><item host="outside"/><game><group><item host="nested"/></group>)"
                     R"(<item host="direct"/><Item host="case"/></game><item host="after"/>)"
                     R"(</config>)",
                     true,
                     5,
                     6,
                     {{u"direct", u"", u""}}},
        ManifestCase{"names are case-sensitive",
                     R"(<config><Game major="9"/><game Major="9" MINOR="9"/></config>)",
                     true,
                     5,
                     6,
                     {}},
        ManifestCase{
            "no config", R"(<manifest><game major="9"><item/></game></manifest>)", true, 5, 6, {}},
        ManifestCase{"no game", R"(<config><item host="h"/></config>)", true, 5, 6, {}},
        ManifestCase{"wide strings from UTF-8",
                     R"(<config><game><item host="更新.example" path="/包/" file="a b.exe"/>)"
                     R"(</game></config>)",
                     true,
                     5,
                     6,
                     {{u"更新.example", u"/包/", u"a b.exe"}}},
        ManifestCase{"line ends normalised as the file loader does",
                     "<config><game><item path=\"a\r\nb\" file=\"c\rd\"/></game></config>",
                     true,
                     5,
                     6,
                     {{u"", u"a\nb", u"c\nd"}}},
        ManifestCase{"text after a NUL is not read",
                     std::string("<config><game major=\"9\"/></config>") + '\0' + "<broken",
                     true,
                     9,
                     6,
                     {}},
        ManifestCase{
            "malformed", R"(<config><game major="9"><item host="h"/></config>)", false, 5, 6, {}},
        ManifestCase{"empty file", "", false, 5, 6, {}},
        ManifestCase{"deeply nested",
                     R"(<config><game major="9"><item host="h"/>)" + Repeat("<a>", 100000) +
                         Repeat("</a>", 100000) + "</game></config>",
                     false,
                     5,
                     6,
                     {}},
        ManifestCase{
            "too many attributes",
            R"(<config><game major="9"><item)" + Repeat(" a=\"1\"", 1000) + "/></game></config>",
            false,
            5,
            6,
            {}}));

TEST_F(ManifestFileTest, UnreadableFilesChangeNothing) {
    for (const std::string& path :
         {testing::TempDir() + "no-such-manifest.xml", testing::TempDir()}) {
        LayoutConfig config = Prefilled();
        EXPECT_FALSE(config.ParseManifest(path.c_str())) << path;
        ExpectUnchanged(config);
    }
    LayoutConfig config = Prefilled();
    EXPECT_FALSE(config.ParseManifest(nullptr));
    ExpectUnchanged(config);
}

TEST_F(ManifestFileTest, FilesOverOneMebibyteAreRefused) {
    const std::string doc = R"(<config><game major="9"><item host="h"/></game></config>)";
    const std::string atLimit = doc + std::string((1u << 20) - doc.size(), ' ');

    LayoutConfig fits = Prefilled();
    EXPECT_TRUE(fits.ParseManifest(Write(atLimit).c_str()));
    EXPECT_EQ(fits.major, 9);

    LayoutConfig tooBig = Prefilled();
    EXPECT_FALSE(tooBig.ParseManifest(Write(atLimit + " ").c_str()));
    ExpectUnchanged(tooBig);
}

TEST_F(ManifestFileTest, ParsingTwiceAppendsTheItemsAgain) {
    const std::string path = Write(R"(<config><game><item host="h"/></game></config>)");
    LayoutConfig config;
    EXPECT_TRUE(config.ParseManifest(path.c_str()));
    EXPECT_TRUE(config.ParseManifest(path.c_str()));
    EXPECT_EQ(ItemsOf(config), (Items{{u"h", u"", u""}, {u"h", u"", u""}}));
}

}  // namespace

namespace {
TEST_F(ManifestFileTest, AnItemMayCarryThePackageDigest) {
    const std::string digest(64, 'a');
    const std::string path = Write(R"(<config><game><item host="h" sha256=")" + digest +
                                   R"("/><item host="plain"/></game></config>)");
    LayoutConfig config;
    ASSERT_TRUE(config.ParseManifest(path.c_str()));
    ASSERT_EQ(config.manifestItems.size(), 2u);
    EXPECT_EQ(config.manifestItems[0].sha256, std::u16string(64, u'a'));
    EXPECT_EQ(config.manifestItems[1].sha256, u"");
}
}  // namespace
