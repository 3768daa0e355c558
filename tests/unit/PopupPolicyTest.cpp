#include "browser/PopupPolicy.h"

#include <gtest/gtest.h>

namespace {
struct PopupCase {
    const char* name;
    bool hasBrowser;
    PopupTarget target;
    std::u16string currentHost;
    PopupRoute route;
    std::u16string resolved;
};

class DecidePopupTest : public ::testing::TestWithParam<PopupCase> {};

TEST_P(DecidePopupTest, Routes) {
    const PopupCase& c = GetParam();
    PopupDecision decision = DecidePopup(c.hasBrowser, c.target, c.currentHost);
    EXPECT_EQ(decision.route, c.route);
    EXPECT_EQ(decision.resolvedUrl, c.resolved);
}

const PopupTarget kOauthGame = {u"http://h/OAuth/start", u"x_game", u"h", u"http://h/OAuth/start"};
const PopupTarget kGameFrame = {u"http://h/game", u"main_game_2", u"h", u"http://h/game"};
const PopupTarget kMarkup = {u"<a target=\"_GAME\" href=x>", u"", u"", u""};
const PopupTarget kPath = {u"/page.html", u"_blank", u"", u""};
const PopupTarget kAbsolute = {u"HTTP://Other.example:80/a", u"", u"other.example",
                               u"http://other.example/a"};

INSTANTIATE_TEST_SUITE_P(
    Cases, DecidePopupTest,
    ::testing::Values(
        PopupCase{"no_browser_cancels_even_oauth", false, kOauthGame, u"h", PopupRoute::kCancel,
                  u""},
        PopupCase{"oauth_any_case_wins_over_game", true, kOauthGame, u"h", PopupRoute::kEnginePopup,
                  u""},
        PopupCase{"game_frame_substring", true, kGameFrame, u"h", PopupRoute::kGameRequest, u""},
        PopupCase{"game_target_in_url_text", true, kMarkup, u"h", PopupRoute::kGameRequest, u""},
        PopupCase{"hostless_path_joins_current_host", true, kPath, u"127.0.0.1",
                  PopupRoute::kExternal, u"127.0.0.1/page.html"},
        PopupCase{"absolute_uses_parsed_spec", true, kAbsolute, u"h", PopupRoute::kExternal,
                  u"http://other.example/a"}),
    [](const ::testing::TestParamInfo<PopupCase>& info) { return info.param.name; });

TEST(ContainsNoCase, FoldsAsciiOnly) {
    EXPECT_TRUE(ContainsNoCase(u"xxOAUTHyy", u"oauth"));
    EXPECT_TRUE(ContainsNoCase(u"abc", u""));
    EXPECT_FALSE(ContainsNoCase(u"oau", u"oauth"));
    EXPECT_FALSE(ContainsNoCase(u"_gam\u00C9", u"_game")) << "no folding beyond ASCII";
}
}  // namespace
