// The page bridge in the render process: OpenGameWindow, the browser's
// "PopGameWindow" question and "BodyNoScroll", seen from the host window.
#include "BrowserTest.h"

#include <gtest/gtest.h>

using cef_testing::ScriptArg;
using Strings = std::vector<std::u16string>;

namespace {
const char16_t kLoginUrl[] = u"http://127.0.0.1/login";
}

// A login page with one sub-frame ("frame1"), nothing focused.
class PageBridgeTest : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        ASSERT_TRUE(cef_testing::FinishLoad(m_id, 2, 200, kLoginUrl));
        ASSERT_EQ(WaitForHost(WM_BROWSER_LOADEND, 2).size(), 2u);
        ASSERT_TRUE(cef_testing::FocusElement(m_id, 1, false, false, u""));
        ASSERT_TRUE(cef_testing::FocusElement(m_id, 0, false, false, u""));
        ASSERT_TRUE(cef_testing::SetHasBody(m_id, 0, true));
    }

    // Waits for the next game request to reach the host.
    Strings NextGameRequest() {
        const size_t seen = m_requestsSeen++;
        PumpUntil([&] { return GameRequests().size() > seen; });
        const auto requests = GameRequests();
        return requests.size() > seen ? requests[seen] : Strings{u"<none>"};
    }

    std::u16string BodyAttribute(const std::u16string& name) {
        const size_t answers = m_records.Of("body-attribute", m_id).size();
        EXPECT_TRUE(cef_testing::QueryBodyAttribute(m_id, 0, name));
        const auto found = m_records.WaitFor("body-attribute", m_id, answers + 1);
        if (found.size() <= answers || found.back().fields.size() < 3) return u"<none>";
        return found.back().fields[2];
    }

    size_t m_requestsSeen = 0;
};

TEST_F(PageBridgeTest, OpenGameWindowSendsUrlThenCaptionThenEmptyFrameName) {
    struct Case {
        const char* what;
        std::vector<ScriptArg> args;
        Strings expected;
    };
    const Case cases[] = {
        {"caption and url",
         {ScriptArg::String(u"S1"), ScriptArg::String(u"http://127.0.0.1/game")},
         {u"http://127.0.0.1/game", u"S1", u""}},
        {"two numbers", {ScriptArg::Int(1), ScriptArg::Double(2.5)}, {u"", u"", u""}},
        {"a number for the caption",
         {ScriptArg::Int(7), ScriptArg::String(u"http://127.0.0.1/game")},
         {u"http://127.0.0.1/game", u"", u""}},
        {"caption only", {ScriptArg::String(u"S1")}, {u"", u"S1", u""}},
        {"no arguments", {}, {u"", u"", u""}},
        {"a third argument",
         {ScriptArg::String(u"二区"), ScriptArg::String(u"http://127.0.0.1/g"),
          ScriptArg::String(u"x")},
         {u"http://127.0.0.1/g", u"二区", u""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(cef_testing::CallFunction(m_id, 0, u"OpenGameWindow", c.args));
        EXPECT_EQ(NextGameRequest(), c.expected);
        const HostMessage last = Host().MessagesOf(WM_BROWSER_POPGAMEWINDOW).back();
        EXPECT_EQ(last.messageName, u"PopGameWindow");
        EXPECT_EQ(last.argTypes, std::vector<int>(3, VTYPE_STRING));
    }
}

TEST_F(PageBridgeTest, OpenGameWindowInASubFrameGoesOutThroughTheSameBrowser) {
    ASSERT_TRUE(cef_testing::CallFunction(
        m_id, 1, u"OpenGameWindow",
        {ScriptArg::String(u"S2"), ScriptArg::String(u"http://127.0.0.1/game2")}));
    EXPECT_EQ(NextGameRequest(), (Strings{u"http://127.0.0.1/game2", u"S2", u""}));
    const auto sent = m_records.WaitFor("to-browser", m_id);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().fields,
              (Strings{u"PopGameWindow", u"http://127.0.0.1/game2", u"S2", u""}));
}

TEST_F(PageBridgeTest, PopGameWindowRequestIsAnsweredWithTheFocusedElementsTitle) {
    struct Case {
        const char* what;
        int frame;
        bool element;
        bool hasTitle;
        std::u16string title;
        std::u16string expectedCaption;
    };
    const Case cases[] = {
        {"titled link", 0, true, true, u"Server 7", u"Server 7"},
        {"link without title", 0, true, false, u"", u""},
        {"nothing focused", 0, false, false, u"", u""},
        {"titled link in the sub-frame", 1, true, true, u"二区", u"二区"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(cef_testing::FocusElement(m_id, c.frame, c.element, c.hasTitle, c.title));
        SyncRender();
        ASSERT_TRUE(SendToRender(u"PopGameWindow", {u"http://127.0.0.1/game", u"main_game_2"}));
        EXPECT_EQ(NextGameRequest(),
                  (Strings{u"http://127.0.0.1/game", c.expectedCaption, u"main_game_2"}));
    }
}

TEST_F(PageBridgeTest, PopGameWindowRequestWithoutArgumentsIsAnsweredWithEmptyTexts) {
    ASSERT_TRUE(cef_testing::FocusElement(m_id, 0, true, true, u"Server 7"));
    SyncRender();
    ASSERT_TRUE(SendToRender(u"PopGameWindow", {}));
    EXPECT_EQ(NextGameRequest(), (Strings{u"", u"Server 7", u""}));
}

TEST_F(PageBridgeTest, BodyNoScrollTurnsTheBodysScrollingOff) {
    ASSERT_TRUE(SendToRender(u"BodyNoScroll", {}));
    SyncRender();
    EXPECT_EQ(BodyAttribute(u"scroll"), u"no");
}

TEST_F(PageBridgeTest, BodyNoScrollWithoutBodyChangesNothing) {
    ASSERT_TRUE(cef_testing::SetHasBody(m_id, 0, false));
    ASSERT_TRUE(SendToRender(u"BodyNoScroll", {}));
    SyncRender();
    EXPECT_EQ(BodyAttribute(u"scroll"), u"");
}

TEST_F(PageBridgeTest, MessageNamesDifferingInLetterCaseAreNotRecognised) {
    for (const char16_t* name :
         {u"popgamewindow", u"POPGAMEWINDOW", u"bodynoscroll", u"BODYNOSCROLL", u"bodyNoScroll"}) {
        ASSERT_TRUE(SendToRender(name, {u"http://127.0.0.1/game", u"_game"}));
    }
    SyncRender();
    EXPECT_TRUE(GameRequests().empty());
    EXPECT_EQ(BodyAttribute(u"scroll"), u"");
}
