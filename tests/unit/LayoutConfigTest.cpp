#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "layout/LayoutConfig.h"
#include "layout/TextCodec.h"

// Comparisons and printing for the model's records, so expectations can name
// whole records. Global, where argument-dependent lookup finds them.
static auto Tie(const LayoutRect& r) { return std::tie(r.left, r.top, r.right, r.bottom); }
bool operator==(const LayoutRect& a, const LayoutRect& b) { return Tie(a) == Tie(b); }
bool operator==(const SpriteItem& a, const SpriteItem& b) {
    return std::tie(a.x, a.y, a.image, a.layer) == std::tie(b.x, b.y, b.image, b.layer);
}
bool operator==(const ButtonItem& a, const ButtonItem& b) {
    return a.rect == b.rect && std::tie(a.normal, a.hover, a.pressed, a.action, a.flag) ==
                                   std::tie(b.normal, b.hover, b.pressed, b.action, b.flag);
}
bool operator==(const UpdateServer& a, const UpdateServer& b) {
    return std::tie(a.host, a.path, a.file) == std::tie(b.host, b.path, b.file);
}
void PrintTo(const LayoutRect& r, std::ostream* os) {
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
void PrintTo(const SpriteItem& s, std::ostream* os) {
    *os << "{x " << s.x << " y " << s.y << " image " << s.image << " layer " << s.layer << "}";
}
void PrintTo(const ButtonItem& b, std::ostream* os) {
    PrintTo(b.rect, os);
    *os << " " << b.normal << "/" << b.hover << "/" << b.pressed << " action " << b.action
        << " flag " << b.flag;
}
void PrintTo(const UpdateServer& s, std::ostream* os) {
    *os << "{" << Utf16ToUtf8(s.host) << "|" << Utf16ToUtf8(s.path) << "|" << Utf16ToUtf8(s.file)
        << "}";
}

namespace {

constexpr uint32_t kUntouched = 0x12345678u;

struct Loaded {
    bool ok = false;
    LayoutConfig config;
};

// Loads into a model whose caption colour is a marker, so a test can tell
// whether any caption was read.
Loaded Load(const std::string& text, uint32_t initialCaption = 0xFFFFFFFFu) {
    Loaded loaded;
    loaded.config.captionColor = initialCaption;
    loaded.ok = loaded.config.LoadFromText(text.c_str());
    return loaded;
}

std::string Doc(const std::string& games) {
    return "<config><games>" + games + "</games></config>";
}

std::string GameDoc(const std::string& body) { return Doc("<game name=\"g\">" + body + "</game>"); }

std::string Repeat(const std::string& unit, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += unit;
    return out;
}

std::vector<std::u16string> Keys(const LayoutConfig& config) {
    std::vector<std::u16string> keys;
    for (const auto& entry : config.games) keys.push_back(entry.first);
    return keys;
}

// Shaped like the layout the program carries: byte-order mark, declaration,
// comments, CDATA and plain-text addresses, every kind of record.
const std::string kSample = std::string("\xEF\xBB\xBF") + R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- sample layout -->
<config>
  <games>
    <game name="门户Ashgrove" resource="resource\">
      <update>
        <item name="primary" host="update.example.test" path="/ashgrove/"/>
        <item name="backup" host="update.example.test" path="/ashgrove/" file="update2.xml"/>
      </update>
      <images>
        <item id="7" file="extra.png"/>
      </images>
      <login w="1105" h="600">
        <sprite>
          <item image="1001" layer="0" x="0" y="0"/>
        </sprite>
        <button>
          <item x="928" y="51" w="29" h="32" normal="1020" hover="1022" pressed="1021"
                action="1001" desc="Minimize"/>
        </button>
        <caption R="1" G="2" B="3"/>
        <webs>
          <item x="314" y="99" w="668" h="422" l="2" t="2" r="32" b="32" flag="1"
                function="login"><![CDATA[http://127.0.0.1/login?a=1&b=2]]></item>
        </webs>
      </login>
      <gamemain w="1024" h="728">
        <button>
          <item x="64" y="5" w="19" h="19" normal="1040" hover="1042" pressed="1041"
                action="1001" flag="2" desc="Minimize"/>
          <item x="8" y="7" w="88" h="17" normal="1120" hover="1120" pressed="1120"
                action="101" desc="Game"/>
        </button>
        <caption R="224" G="222" B="182"/>
        <webs>
          <item x="0" y="0" w="1024" h="700" l="2" t="2" r="-6" b="-6" flag="1"
                function="game"><![CDATA[http://127.0.0.1/game]]></item>
          <item x="0" y="0" w="1024" h="700" l="2" t="2" r="-6" b="-6" flag="0"
                function="logout">
            http://127.0.0.1/logout
          </item>
        </webs>
      </gamemain>
    </game>
  </games>
</config>
)";

const std::u16string kSampleGame = u"门户Ashgrove";

// ---- A whole document -----------------------------------------------------

TEST(LayoutLoad, ReadsEveryRecordOfADocument) {
    const Loaded loaded = Load(kSample);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(Keys(loaded.config), std::vector<std::u16string>{kSampleGame});
    const GameConfig& game = loaded.config.games.begin()->second;
    EXPECT_EQ(game.name, kSampleGame);
    EXPECT_EQ(game.resource, u"resource\\");
    EXPECT_EQ(game.updateServers,
              (std::vector<UpdateServer>{{u"update.example.test", u"/ashgrove/", u"update.xml"},
                                         {u"update.example.test", u"/ashgrove/", u"update2.xml"}}));
    ASSERT_EQ(game.images.size(), 1u);
    EXPECT_EQ(game.images[0].id, 7);
    EXPECT_EQ(game.images[0].file, u"extra.png");

    EXPECT_EQ(game.login.width, 1105);
    EXPECT_EQ(game.login.height, 600);
    EXPECT_EQ(game.login.sprites, (std::vector<SpriteItem>{{0, 0, 1001, 0}}));
    EXPECT_EQ(game.login.buttons,
              (std::vector<ButtonItem>{{{928, 51, 957, 83}, 1020, 1022, 1021, 1001, 0}}));
    ASSERT_EQ(game.login.webs.size(), 1u);
    const WebPanel& login = game.login.webs[0];
    EXPECT_EQ(login.rect, (LayoutRect{314, 99, 982, 521}));
    EXPECT_EQ(std::tie(login.l, login.t, login.r, login.b, login.flag),
              std::make_tuple(2, 2, 32, 32, 1));
    EXPECT_EQ(login.function, u"login");
    EXPECT_EQ(login.url, u"http://127.0.0.1/login?a=1&b=2");

    EXPECT_EQ(game.gameMain.width, 1024);
    EXPECT_EQ(game.gameMain.height, 728);
    EXPECT_TRUE(game.gameMain.sprites.empty());
    EXPECT_EQ(game.gameMain.buttons,
              (std::vector<ButtonItem>{{{64, 5, 83, 24}, 1040, 1042, 1041, 1001, 2},
                                       {{8, 7, 96, 24}, 1120, 1120, 1120, 101, 0}}));
    ASSERT_EQ(game.gameMain.webs.size(), 2u);
    EXPECT_EQ(game.gameMain.webs[1].rect, (LayoutRect{0, 0, 1024, 700}));
    EXPECT_EQ(game.gameMain.webs[1].r, -6);
    EXPECT_EQ(game.gameMain.webs[1].url, u"http://127.0.0.1/logout");
    EXPECT_EQ(loaded.config.captionColor, 0xFFE0DEB6u);  // gamemain's caption is read last
}

TEST(LayoutLoad, OrdersGamesByUtf16CodeUnits) {
    // U+1F600 is stored as D83D DE00, which sorts below U+FF21 although its
    // code point is higher: the order is that of a plain wide-string compare.
    const Loaded loaded = Load(Doc(R"(<game name="b"/><game name="a"/><game name="Ａ"/>)"
                                   R"(<game name="😀"/><game name="é"/><game name=""/>)"));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(Keys(loaded.config),
              (std::vector<std::u16string>{u"", u"a", u"b", u"é", u"😀", u"Ａ"}));
}

TEST(LayoutLoad, ReadsAnyChildOfGamesThatHasAName) {
    const Loaded loaded = Load(Doc(R"(<entry name="e"/><game resource="x"/><game name="g"/>)"
                                   R"(text<!-- c --><?pi ?>)"));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(Keys(loaded.config), (std::vector<std::u16string>{u"e", u"g"}));
}

TEST(LayoutLoad, KeepsTheFirstOfTwoGamesWithTheSameName) {
    const Loaded loaded = Load(Doc(R"(<game name="a" resource="one"><login w="1"/></game>)"
                                   R"(<game name="a" resource="two"><update><item host="h"/>)"
                                   R"(</update><login w="2" h="2"/></game>)"));
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.config.games.size(), 1u);
    const GameConfig& game = loaded.config.games.at(u"a");
    EXPECT_EQ(game.resource, u"one");
    EXPECT_TRUE(game.updateServers.empty());
    EXPECT_EQ(std::make_pair(game.login.width, game.login.height), std::make_pair(1, 0));
}

TEST(LayoutLoad, ReadsOnlyTheFirstContainerOfEachKindAndOnlyItsItems) {
    const Loaded loaded = Load(GameDoc(R"(
        <update><item host="u1"/><Item host="case"/><group><item host="deep"/></group></update>
        <update><item host="u2"/></update>
        <images><item id="1"/></images><images><item id="2"/></images>
        <login w="10">
          <sprite><item image="1"/><other image="9"/></sprite><sprite><item image="2"/></sprite>
          <button><item action="1"/></button><button><item action="2"/></button>
          <webs><item function="first"/></webs><webs><item function="second"/></webs>
          <caption R="1" G="1" B="1"/><caption R="2" G="2" B="2"/>
        </login>
        <login w="20"/>
        <gamemain w="30"/><gamemain w="40"/>)"),
                               kUntouched);
    ASSERT_TRUE(loaded.ok);
    const GameConfig& game = loaded.config.games.at(u"g");
    EXPECT_EQ(game.updateServers, (std::vector<UpdateServer>{{u"u1", u"", u"update.xml"}}));
    ASSERT_EQ(game.images.size(), 1u);
    EXPECT_EQ(game.images[0].id, 1);
    EXPECT_EQ(game.login.width, 10);
    EXPECT_EQ(game.login.sprites, (std::vector<SpriteItem>{{0, 0, 1, 0}}));
    ASSERT_EQ(game.login.buttons.size(), 1u);
    EXPECT_EQ(game.login.buttons[0].action, 1);
    ASSERT_EQ(game.login.webs.size(), 1u);
    EXPECT_EQ(game.login.webs[0].function, u"first");
    EXPECT_EQ(game.gameMain.width, 30);
    EXPECT_EQ(loaded.config.captionColor, 0xFF010101u);
}

TEST(LayoutLoad, AbsentPartsReadAsDefaults) {
    const Loaded loaded = Load(Doc(R"(<game name="bare"/>)"
                                   R"(<game name="items"><update><item/><item file=""/></update>)"
                                   R"(<images><item/></images><gamemain><sprite><item/></sprite>)"
                                   R"(<button><item x="5" y="6"/></button><webs><item/></webs>)"
                                   R"(</gamemain></game>)"));
    ASSERT_TRUE(loaded.ok);
    const GameConfig& bare = loaded.config.games.at(u"bare");
    EXPECT_TRUE(bare.resource.empty());
    EXPECT_TRUE(bare.updateServers.empty());
    EXPECT_EQ(std::make_tuple(bare.login.width, bare.login.height, bare.login.webs.size()),
              std::make_tuple(0, 0, size_t{0}));

    const GameConfig& items = loaded.config.games.at(u"items");
    // The default file name applies only when the attribute is absent.
    EXPECT_EQ(items.updateServers,
              (std::vector<UpdateServer>{{u"", u"", u"update.xml"}, {u"", u"", u""}}));
    ASSERT_EQ(items.images.size(), 1u);
    EXPECT_EQ(items.images[0].id, 0);
    EXPECT_EQ(items.gameMain.sprites, (std::vector<SpriteItem>{{0, 0, 0, 0}}));
    // Without w and h the rectangle is empty at its corner.
    EXPECT_EQ(items.gameMain.buttons, (std::vector<ButtonItem>{{{5, 6, 5, 6}, 0, 0, 0, 0, 0}}));
    ASSERT_EQ(items.gameMain.webs.size(), 1u);
    const WebPanel& web = items.gameMain.webs[0];
    EXPECT_EQ(std::make_tuple(web.flag, web.l, web.b), std::make_tuple(0, 0, 0));
    EXPECT_TRUE(web.function.empty());
    EXPECT_TRUE(web.url.empty());
    EXPECT_EQ(loaded.config.captionColor, 0xFFFFFFFFu);
}

struct NoGamesCase {
    const char* what;
    const char* text;
};

void PrintTo(const NoGamesCase& c, std::ostream* os) { *os << c.what; }

class NoGamesTest : public testing::TestWithParam<NoGamesCase> {};

TEST_P(NoGamesTest, IsWellFormedAndLoadsNothing) {
    const Loaded loaded = Load(GetParam().text, kUntouched);
    EXPECT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.config.games.empty());
    EXPECT_EQ(loaded.config.captionColor, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoGamesTest,
    testing::Values(NoGamesCase{"empty config", "<config/>"},
                    NoGamesCase{"other root",
                                R"(<layout><games><game name="a"/></games></layout>)"},
                    NoGamesCase{"games missing", R"(<config><game name="a"/></config>)"},
                    NoGamesCase{"games nested deeper",
                                R"(<config><x><games><game name="a"/></games></x></config>)"},
                    NoGamesCase{"names are case-sensitive",
                                R"(<Config><games><game name="a"/></games></Config>)"},
                    NoGamesCase{"only a declaration", R"(<?xml version="1.0"?>)"}));

TEST(LayoutLoad, TakesTheFirstConfigElementWhereverItStands) {
    const Loaded loaded = Load(R"(<!-- c --><other/><config><games><game name="a"/></games>)"
                               R"(</config><config><games><game name="b"/></games></config>)");
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(Keys(loaded.config), std::vector<std::u16string>{u"a"});
}

// ---- Value rules ----------------------------------------------------------

struct IntegerCase {
    const char* value;  // null: attribute absent
    int32_t expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << (c.value ? c.value : "(absent)"); }

class IntegerRuleTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerRuleTest, ReadsAsAtoi) {
    const std::string attr = GetParam().value ? std::string(" x=\"") + GetParam().value + "\"" : "";
    const Loaded loaded = Load(GameDoc("<login><sprite><item" + attr + "/></sprite></login>"));
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.config.games.at(u"g").login.sprites.size(), 1u);
    EXPECT_EQ(loaded.config.games.at(u"g").login.sprites[0].x, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerRuleTest,
    testing::Values(IntegerCase{nullptr, 0}, IntegerCase{"", 0}, IntegerCase{"42", 42},
                    IntegerCase{"-6", -6}, IntegerCase{"+7", 7}, IntegerCase{"007", 7},
                    IntegerCase{"12px", 12}, IntegerCase{"abc", 0}, IntegerCase{"0x1F", 0},
                    IntegerCase{" \t\n 42", 42}, IntegerCase{"- 5", 0}, IntegerCase{"--5", 0},
                    IntegerCase{"4 2", 4}, IntegerCase{"&#45;3", -3},
                    IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", INT32_MIN},
                    // Out of range saturates, as the Windows C runtime's atoi does.
                    IntegerCase{"2147483648", INT32_MAX}, IntegerCase{"-2147483649", INT32_MIN},
                    IntegerCase{"99999999999999999999999999", INT32_MAX},
                    IntegerCase{"-99999999999999999999999999x", INT32_MIN}));

TEST(LayoutValues, RectangleEdgesWrapInsteadOfOverflowing) {
    const Loaded loaded =
        Load(GameDoc(R"(<login><button><item x="2147483647" w="2" y="-2147483648" h="-1"/>)"
                     R"(</button></login>)"));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.config.games.at(u"g").login.buttons.at(0).rect,
              (LayoutRect{INT32_MAX, INT32_MIN, INT32_MIN + 1, INT32_MAX}));
}

struct TextCase {
    const char* what;
    std::string prolog;  // declaration that selects the parser's encoding mode
    std::string value;   // raw bytes between the quotes; null-free
    std::u16string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.what; }

class TextRuleTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextRuleTest, ConvertsTheAttributeBytes) {
    // The attribute after the tested one proves that its closing quote was seen.
    const Loaded loaded = Load(GetParam().prolog +
                               Doc("<game name=\"" + GetParam().value + "\" resource=\"after\"/>"));
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(Keys(loaded.config), std::vector<std::u16string>{GetParam().expected});
    EXPECT_EQ(loaded.config.games.begin()->second.resource, u"after");
}

const std::string kUtf8Prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string kBom = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Cases, TextRuleTest,
    testing::Values(
        TextCase{"empty", "", "", u""}, TextCase{"ascii", "", "plain", u"plain"},
        TextCase{"white space kept", "", "  two  words ", u"  two  words "},
        TextCase{"chinese", kUtf8Prolog, "中文", u"中文"}, TextCase{"non-BMP", kBom, "😀", u"😀"},
        TextCase{"entities", "", "&lt;&amp;&quot;&apos;&gt;", u"<&\"'>"},
        TextCase{"character reference", kUtf8Prolog, "&#x4E2D;&#25991;", u"中文"},
        TextCase{"stray byte", "", "a\xFFz", u"a\uFFFDz"},
        TextCase{"lead byte before the quote, UTF-8 mode", kUtf8Prolog, "ab\xE4", u"ab\uFFFD"},
        TextCase{"lead byte before the quote, with BOM", kBom, "ab\xE4\xB8", u"ab\uFFFD"},
        TextCase{"lead byte before the quote, no declaration", "", "ab\xE4", u"ab\uFFFD"},
        TextCase{"overlong", kUtf8Prolog, "\xC0\xAF", u"\uFFFD\uFFFD"},
        TextCase{"encoded surrogate", kUtf8Prolog, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        TextCase{"legacy bytes", "<?xml version=\"1.0\" encoding=\"GBK\"?>", "\xD6\xD0",
                 u"\uFFFD\uFFFD"}));

struct ElementTextCase {
    const char* what;
    std::string content;
    std::u16string expected;
};

void PrintTo(const ElementTextCase& c, std::ostream* os) { *os << c.what; }

class ElementTextRuleTest : public testing::TestWithParam<ElementTextCase> {};

TEST_P(ElementTextRuleTest, ReadsTheFirstChildWhenItIsText) {
    const Loaded loaded = Load(GameDoc("<login><webs><item function=\"login\">" +
                                       GetParam().content + "</item></webs></login>"));
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.config.games.at(u"g").login.webs.size(), 1u);
    EXPECT_EQ(loaded.config.games.at(u"g").login.webs[0].url, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ElementTextRuleTest,
    testing::Values(
        ElementTextCase{"no child", "", u""},
        ElementTextCase{"cdata verbatim", "<![CDATA[  a  <b>\n&amp; ]]>", u"  a  <b>\n&amp; "},
        ElementTextCase{"cdata after white space", "\n  <![CDATA[x]]>  ", u"x"},
        ElementTextCase{"empty cdata", "<![CDATA[]]>", u""},
        ElementTextCase{"plain text condensed", "\n  http://a/b \t c\r\n  ", u"http://a/b c"},
        ElementTextCase{"plain text with entities", "a&amp;b", u"a&b"},
        ElementTextCase{"white space only", "   \n  ", u""},
        ElementTextCase{"text before cdata", "t<![CDATA[c]]>", u"t"},
        ElementTextCase{"comment first", "<!-- c -->http://hidden/", u""},
        ElementTextCase{"element first", "<b>x</b>http://hidden/", u""},
        ElementTextCase{"non-ascii", "<![CDATA[http://例子/登录]]>", u"http://例子/登录"}));

// ---- Caption colour -------------------------------------------------------

struct CaptionCase {
    const char* what;
    std::string text;
    uint32_t expected;
};

void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.what; }

class CaptionColorTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionColorTest, IsTheLastCaptionRead) {
    const Loaded loaded = Load(GetParam().text, kUntouched);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.config.captionColor, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionColorTest,
    testing::Values(CaptionCase{"no caption", GameDoc("<login/>"), kUntouched},
                    CaptionCase{"shipped colour",
                                GameDoc(R"(<gamemain><caption R="224" G="222" B="182"/>)"
                                        R"(</gamemain>)"),
                                0xFFE0DEB6u},
                    CaptionCase{"no attributes is opaque black",
                                GameDoc("<login><caption/></login>"), 0xFF000000u},
                    CaptionCase{"low eight bits",
                                GameDoc(R"(<login><caption R="300" G="256" B="-1"/>)"
                                        R"(</login>)"),
                                0xFF2C00FFu},
                    CaptionCase{
                        "gamemain after login",
                        GameDoc(R"(<gamemain><caption B="2"/></gamemain><login><caption B="1"/>)"
                                R"(</login>)"),
                        0xFF000002u},
                    CaptionCase{"document order, not name order",
                                Doc(R"(<game name="b"><login><caption B="1"/></login></game>)"
                                    R"(<game name="a"><login><caption B="2"/></login></game>)"),
                                0xFF000002u},
                    CaptionCase{"a dropped duplicate still counts",
                                Doc(R"(<game name="a"><login><caption B="1"/></login></game>)"
                                    R"(<game name="a"><login><caption B="2"/></login></game>)"),
                                0xFF000002u},
                    CaptionCase{"a game without name is not read",
                                Doc(R"(<game name="a"><login><caption B="1"/></login></game>)"
                                    R"(<game><login><caption B="2"/></login></game>)"),
                                0xFF000001u},
                    CaptionCase{"outside a window", GameDoc(R"(<caption B="9"/>)"), kUntouched}));

// ---- Lookups ----------------------------------------------------------------

struct LookupCase {
    std::u16string game;
    std::u16string window;
    std::u16string function;
    const char16_t* url;  // null: not found
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << Utf16ToUtf8(c.game) << "/" << Utf16ToUtf8(c.window) << "/" << Utf16ToUtf8(c.function);
}

class FindWebTest : public testing::TestWithParam<LookupCase> {};

TEST_P(FindWebTest, FindsTheFirstPanelOfThatFunction) {
    Loaded loaded = Load(kSample);
    ASSERT_TRUE(loaded.ok);
    const LookupCase& c = GetParam();
    const WebPanel* web = loaded.config.FindWeb(c.game, c.window, c.function);
    if (c.url == nullptr) {
        EXPECT_EQ(web, nullptr);
    } else {
        ASSERT_NE(web, nullptr);
        EXPECT_EQ(web->url, c.url);
    }
    if (c.window == u"gamemain") {
        EXPECT_EQ(loaded.config.FindGameMainWeb(c.game, c.function), web);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindWebTest,
    testing::Values(LookupCase{kSampleGame, u"login", u"login", u"http://127.0.0.1/login?a=1&b=2"},
                    LookupCase{kSampleGame, u"gamemain", u"game", u"http://127.0.0.1/game"},
                    LookupCase{kSampleGame, u"gamemain", u"logout", u"http://127.0.0.1/logout"},
                    LookupCase{kSampleGame, u"login", u"game", nullptr},
                    LookupCase{kSampleGame, u"gamemain", u"login", nullptr},
                    LookupCase{kSampleGame, u"gamemain", u"Game", nullptr},
                    LookupCase{kSampleGame, u"Login", u"login", nullptr},
                    LookupCase{kSampleGame, u"top", u"login", nullptr},
                    LookupCase{kSampleGame, u"gamemain", u"", nullptr},
                    LookupCase{u"门户ashgrove", u"login", u"login", nullptr},
                    LookupCase{u"", u"login", u"login", nullptr}));

TEST(LayoutLookup, FindsTheFirstOfTwoPanelsAndHandsOutTheModelsOwn) {
    Loaded loaded = Load(GameDoc(R"(<gamemain><webs><item function="bbs">first</item>)"
                                 R"(<item function="bbs">second</item></webs></gamemain>)"));
    ASSERT_TRUE(loaded.ok);
    WebPanel* web = loaded.config.FindGameMainWeb(u"g", u"bbs");
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->url, u"first");
    // Start-up stores a prompted address through the lookup.
    web->url = u"http://prompted/";
    web->flag = 1;
    EXPECT_EQ(loaded.config.games.at(u"g").gameMain.webs[0].url, u"http://prompted/");
    EXPECT_EQ(loaded.config.games.at(u"g").gameMain.webs[0].flag, 1);
}

TEST(LayoutLookup, FindGameMatchesTheExactName) {
    const Loaded loaded = Load(Doc(R"(<game name="Ash" resource="r"/>)"));
    ASSERT_TRUE(loaded.ok);
    ASSERT_NE(loaded.config.FindGame(u"Ash"), nullptr);
    EXPECT_EQ(loaded.config.FindGame(u"Ash")->resource, u"r");
    EXPECT_EQ(loaded.config.FindGame(u"ash"), nullptr);
    EXPECT_EQ(loaded.config.FindGame(u"Ash "), nullptr);
    EXPECT_EQ(LayoutConfig().FindGame(u""), nullptr);
}

// ---- Hostile and broken input -----------------------------------------------

void ExpectNothingLoaded(const Loaded& loaded, const std::string& what) {
    EXPECT_FALSE(loaded.ok) << what;
    EXPECT_TRUE(loaded.config.games.empty()) << what;
    EXPECT_EQ(loaded.config.captionColor, kUntouched) << what;
}

struct MalformedCase {
    const char* what;
    std::string text;
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.what; }

class MalformedTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTest, ReturnsFalseAndLoadsNothing) {
    ExpectNothingLoaded(Load(GetParam().text, kUntouched), GetParam().what);
}

// Each bad document starts with a good game and a caption, which must not
// reach the model either.
std::string AfterAGoodGame(const std::string& rest) {
    return R"(<config><games><game name="good"><login><caption R="1"/></login></game>)" + rest;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedTest,
    testing::Values(MalformedCase{"empty", ""}, MalformedCase{"white space", " \n\t "},
                    MalformedCase{"plain text", "layout"},
                    MalformedCase{"unclosed", AfterAGoodGame("<game name=\"b\">")},
                    MalformedCase{"mismatched end tag", AfterAGoodGame("</gmes></config>")},
                    MalformedCase{"duplicate attribute",
                                  AfterAGoodGame(R"(<game name="a" name="b"/></games></config>)")},
                    MalformedCase{"quote inside unquoted value",
                                  AfterAGoodGame(R"(<game name=a"b/></games></config>)")},
                    MalformedCase{"attribute without value",
                                  AfterAGoodGame(R"(<game name/></games></config>)")},
                    MalformedCase{"broken character reference",
                                  AfterAGoodGame(R"(<game name="&#xZZ;"/></games></config>)")},
                    MalformedCase{"empty-element tag with a space",
                                  AfterAGoodGame(R"(<game name="b" / ></games></config>)")},
                    MalformedCase{"broken declaration",
                                  std::string(R"(<?xml version ?>)") + Doc("")},
                    MalformedCase{"nesting beyond the limit",
                                  AfterAGoodGame("<game name=\"b\">" + Repeat("<x>", 300) +
                                                 Repeat("</x>", 300) + "</game></games></config>")},
                    MalformedCase{"too many attributes",
                                  AfterAGoodGame("<game name=\"b\"" + Repeat(" a=\"\"", 300) +
                                                 "/></games></config>")}));

TEST(LayoutHostile, NullTextIsRefused) {
    LayoutConfig config;
    EXPECT_FALSE(config.LoadFromText(nullptr));
    EXPECT_TRUE(config.games.empty());
}

TEST(LayoutHostile, TruncatedDocumentsNeverLoadAnything) {
    const size_t rootStart = kSample.find("<config>");
    const size_t rootEnd = kSample.find("</config>") + std::string("</config>").size();
    for (size_t cut = 0; cut < rootEnd; ++cut) {
        const Loaded loaded = Load(kSample.substr(0, cut), kUntouched);
        const std::string what = "cut at " + std::to_string(cut);
        if (cut <= rootStart + 1) {
            // Before the root (a lone '<' is still unknown markup) there is
            // nothing to load; the library may or may not call a cut
            // declaration or comment an error.
            EXPECT_TRUE(loaded.config.games.empty()) << what;
            EXPECT_EQ(loaded.config.captionColor, kUntouched) << what;
        } else {
            ExpectNothingLoaded(loaded, what);
        }
    }
    const Loaded whole = Load(kSample.substr(0, rootEnd), kUntouched);
    EXPECT_TRUE(whole.ok);
    EXPECT_EQ(whole.config.games.size(), 1u);
}

TEST(LayoutHostile, DeepNestingIsRefusedBeforeParsing) {
    const std::string deep = Repeat("<a>", 100000) + Repeat("</a>", 100000);
    ExpectNothingLoaded(Load(deep, kUntouched), "closed");
    ExpectNothingLoaded(Load("<config><games>" + Repeat("<game name=\"x\">", 100000), kUntouched),
                        "unclosed");
}

TEST(LayoutHostile, OversizedTextIsRefusedUnread) {
    const std::string filler(50u << 20, 'x');
    ExpectNothingLoaded(Load(Doc("<game name=\"g\" resource=\"" + filler + "\"/>"), kUntouched),
                        "attribute");
    ExpectNothingLoaded(Load(Doc("<game name=\"g\"/>" + filler), kUntouched), "text");
}

TEST(LayoutHostile, LargeValuesWithinTheLimitAreRead) {
    const std::string address(3u << 20, 'u');
    const std::string resource(512u << 10, 'r');
    const Loaded loaded =
        Load(Doc("<game name=\"g\" resource=\"" + resource + "\"><login><webs><item><![CDATA[" +
                 address + "]]></item></webs></login></game>"));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.config.games.at(u"g").resource.size(), resource.size());
    EXPECT_EQ(loaded.config.games.at(u"g").login.webs.at(0).url.size(), address.size());
}

TEST(LayoutHostile, IllFormedUtf8AtTheVeryEndIsHarmless) {
    // A lead byte as the last byte once made the parser read past the buffer.
    for (const std::string tail : {"\xE4", "\xF0\x9F", "<?pi \xE4", "<!--\xE4"}) {
        const Loaded loaded = Load(kUtf8Prolog + Doc("<game name=\"g\"/>") + tail);
        EXPECT_TRUE(loaded.ok);
        EXPECT_EQ(loaded.config.games.size(), 1u);
    }
    ExpectNothingLoaded(Load(kBom + Doc("<game name=\"g\">\xE4"), kUntouched), "inside");
}

// ---- The layout the program carries -----------------------------------------

#ifdef SHIPPED_LAYOUT
std::vector<std::u16string> Functions(const WindowLayout& window) {
    std::vector<std::u16string> functions;
    for (const WebPanel& web : window.webs) functions.push_back(web.function);
    return functions;
}
#endif

TEST(ShippedLayout, HasTheDocumentedStructure) {
#ifndef SHIPPED_LAYOUT
    GTEST_SKIP() << "built without SHIPPED_LAYOUT";
#else
    std::ifstream file(SHIPPED_LAYOUT, std::ios::binary);
    if (!file) GTEST_SKIP() << "no layout at " << SHIPPED_LAYOUT;
    std::stringstream bytes;
    bytes << file.rdbuf();
    const Loaded loaded = Load(bytes.str());
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.config.games.size(), 1u);
    const GameConfig& game = loaded.config.games.begin()->second;
    EXPECT_FALSE(game.name.empty());
    EXPECT_EQ(game.resource, u"resource\\");
    EXPECT_TRUE(game.images.empty());
    ASSERT_EQ(game.updateServers.size(), 2u);
    EXPECT_EQ(game.updateServers[0].host, game.updateServers[1].host);
    EXPECT_EQ(game.updateServers[0].path, game.updateServers[1].path);
    EXPECT_EQ(game.updateServers[0].file, u"update.xml");
    EXPECT_EQ(game.updateServers[1].file, u"update2.xml");

    const WindowLayout& login = game.login;
    EXPECT_EQ(std::make_pair(login.width, login.height), std::make_pair(1105, 600));
    EXPECT_EQ(login.sprites, (std::vector<SpriteItem>{{0, 0, 1001, 0}}));
    ASSERT_EQ(login.webs.size(), 1u);
    const WebPanel& panel = login.webs[0];
    EXPECT_EQ(panel.rect, (LayoutRect{314, 99, 982, 521}));
    EXPECT_EQ(std::tie(panel.l, panel.t, panel.r, panel.b, panel.flag),
              std::make_tuple(2, 2, 32, 32, 1));
    EXPECT_EQ(panel.function, u"login");
    EXPECT_FALSE(panel.url.empty());
    ASSERT_EQ(login.buttons.size(), 2u);
    const auto look = [](const ButtonItem& b) {
        return std::make_tuple(b.rect, b.normal, b.hover, b.pressed, b.action);
    };
    EXPECT_EQ(look(login.buttons[0]), look({{928, 51, 957, 83}, 1020, 1022, 1021, 1001, 0}));
    EXPECT_EQ(look(login.buttons[1]), look({{957, 64, 987, 97}, 1010, 1012, 1011, 1002, 0}));

    const WindowLayout& main = game.gameMain;
    EXPECT_EQ(std::make_pair(main.width, main.height), std::make_pair(1024, 728));
    EXPECT_TRUE(main.sprites.empty());
    ASSERT_EQ(Functions(main),
              (std::vector<std::u16string>{u"game", u"homepage", u"bbs", u"logout"}));
    const int flags[] = {1, 0, 0, 1};
    for (size_t i = 0; i < main.webs.size(); ++i) {
        const WebPanel& web = main.webs[i];
        EXPECT_EQ(web.rect, (LayoutRect{0, 0, 1024, 700})) << i;
        EXPECT_EQ(std::tie(web.l, web.t, web.r, web.b, web.flag),
                  std::make_tuple(2, 2, -6, -6, flags[i]))
            << i;
        EXPECT_FALSE(web.url.empty()) << i;
    }
    // The home page shows the game's own start page; the other addresses are
    // the skin's choice.
    EXPECT_EQ(main.webs[1].url, main.webs[0].url);
    EXPECT_EQ(main.buttons, (std::vector<ButtonItem>{
                                {{64, 5, 83, 24}, 1040, 1042, 1041, 1001, 2},
                                {{24, 5, 43, 24}, 1030, 1032, 1031, 1002, 2},
                                {{44, 5, 63, 24}, 1053, 1055, 1054, 1003, 2},
                                {{84, 5, 103, 24}, 1060, 1062, 1061, 107, 2},
                                {{169, 5, 188, 24}, 1063, 1063, 1063, 108, 2},
                                {{8, 7, 96, 24}, 1120, 1120, 1120, 101, 0},
                            }));
    EXPECT_EQ(loaded.config.captionColor, 0xFFE0DEB6u);
#endif
}

}  // namespace
