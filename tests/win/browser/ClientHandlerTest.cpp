// ClientHandler: engine events as messages to the host window, the host's
// answers as the engine's, and the handler's own policies.
#include "BrowserTest.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>

using Strings = std::vector<std::u16string>;

namespace {

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::u16string DocumentsFolder() {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder);
    return U16(folder);
}

}  // namespace

// ---- Reaching the host -----------------------------------------------------------

TEST_F(BrowserTest, PageLoadsReachTheHostForEveryFrame) {
    ASSERT_TRUE(cef_testing::FinishLoad(m_id, 3, 200, u"http://127.0.0.1/login"));
    const auto ends = WaitForHost(WM_BROWSER_LOADEND, 3);
    ASSERT_EQ(ends.size(), 3u);
    for (const HostMessage& end : ends) {
        EXPECT_EQ(end.wParam, 200u);
        EXPECT_EQ(end.lParam, 0);
    }
    ASSERT_TRUE(cef_testing::FinishLoad(m_id, 1, 404, u"http://127.0.0.1/missing"));
    EXPECT_EQ(WaitForHost(WM_BROWSER_LOADEND, 4).back().wParam, 404u);
}

TEST_F(BrowserTest, TextChangesReachTheHostAndEmptyTextsArriveEmpty) {
    struct Case {
        const char* what;
        UINT message;
        std::function<bool(int, const std::u16string&)> drive;
        std::u16string text;
    };
    const auto title = [](int id, const std::u16string& t) {
        return cef_testing::ChangeTitle(id, t);
    };
    const auto status = [](int id, const std::u16string& t) {
        return cef_testing::ChangeStatus(id, t);
    };
    const auto mainAddress = [](int id, const std::u16string& t) {
        return cef_testing::ChangeAddress(id, 0, t);
    };
    const auto subAddress = [](int id, const std::u16string& t) {
        return cef_testing::ChangeAddress(id, 1, t);
    };
    ASSERT_TRUE(cef_testing::FinishLoad(m_id, 2, 200, u"http://127.0.0.1/login"));
    WaitForHost(WM_BROWSER_LOADEND, 2);
    const Case cases[] = {
        {"title", WM_BROWSER_TITLECHANGE, title, u"登录 - Ashgrove"},
        {"empty title", WM_BROWSER_TITLECHANGE, title, u""},
        {"status", WM_BROWSER_STATUSMESSAGE, status, u"http://127.0.0.1/help"},
        {"empty status", WM_BROWSER_STATUSMESSAGE, status, u""},
        {"main frame address", WM_BROWSER_ADDRESSCHANGE, mainAddress, u"http://127.0.0.1/a"},
        {"sub-frame address", WM_BROWSER_ADDRESSCHANGE, subAddress, u"http://127.0.0.1/f"},
        {"empty address", WM_BROWSER_ADDRESSCHANGE, mainAddress, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = Host().MessagesOf(c.message).size();
        ASSERT_TRUE(c.drive(m_id, c.text));
        const auto seen = WaitForHost(c.message, before + 1);
        ASSERT_EQ(seen.size(), before + 1);
        EXPECT_EQ(seen.back().text, c.text);
        EXPECT_EQ(seen.back().lParam, 0);
    }
}

TEST_F(BrowserTest, LoadingStateArrivesAsThreeBits) {
    struct Case {
        bool loading, back, forward;
        WPARAM bits;
    };
    const Case cases[] = {
        {false, false, false, 0}, {true, false, false, 1}, {false, true, false, 2},
        {false, false, true, 4},  {true, true, false, 3},  {true, true, true, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const size_t before = Host().MessagesOf(WM_BROWSER_LOADINGSTATE).size();
        ASSERT_TRUE(cef_testing::ChangeLoadingState(m_id, c.loading, c.back, c.forward));
        const auto seen = WaitForHost(WM_BROWSER_LOADINGSTATE, before + 1);
        ASSERT_EQ(seen.size(), before + 1);
        EXPECT_EQ(seen.back().wParam, c.bits);
    }
}

TEST_F(BrowserTest, OnlyNameResolutionErrorsAreReported) {
    struct Case {
        int frame;
        int code;
        const char16_t* url;
        bool reported;
    };
    const Case cases[] = {
        {0, ERR_NAME_NOT_RESOLVED, u"http://no-such-host.invalid/", true},
        {1, ERR_NAME_NOT_RESOLVED, u"http://sub.invalid/frame", true},
        {0, ERR_CONNECTION_REFUSED, u"http://127.0.0.1:1/", false},
        {0, ERR_FAILED, u"http://127.0.0.1/failed", false},
        {0, ERR_ABORTED, u"http://127.0.0.1/aborted", false},
        {0, -106, u"http://127.0.0.1/offline", false},
    };
    ASSERT_TRUE(cef_testing::FinishLoad(m_id, 2, 200, u"http://127.0.0.1/login"));
    WaitForHost(WM_BROWSER_LOADEND, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const size_t before = Host().MessagesOf(WM_BROWSER_NAMENOTRESOLVED).size();
        ASSERT_TRUE(cef_testing::ReportLoadError(m_id, c.frame, c.code, c.url));
        SyncUi();
        const auto seen = Host().MessagesOf(WM_BROWSER_NAMENOTRESOLVED);
        ASSERT_EQ(seen.size(), before + (c.reported ? 1 : 0));
        if (c.reported) {
            EXPECT_EQ(seen.back().text, c.url);
        }
    }
}

// ---- The host decides ------------------------------------------------------------

TEST_F(BrowserTest, PopupIsCanceledOnlyWhenTheHostAnswersOne) {
    struct Case {
        LRESULT answer;
        const char16_t* frameName;
        const char16_t* outcome;
    };
    const Case cases[] = {
        {1, u"_blank", u"canceled"},
        {0, u"_blank", u"opened"},
        {2, u"win2", u"opened"},
        {1, u"", u"canceled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        Host().SetResult(WM_BROWSER_BEFOREPOPUP, c.answer);
        const size_t before = m_records.Of("popup", m_id).size();
        ASSERT_TRUE(cef_testing::RequestPopup(m_id, 0, u"http://127.0.0.1/pop", c.frameName));
        const auto popups = m_records.WaitFor("popup", m_id, before + 1);
        ASSERT_EQ(popups.size(), before + 1);
        EXPECT_EQ(popups.back().fields, (Strings{u"http://127.0.0.1/pop", c.frameName, c.outcome}));
        const auto asked = Host().MessagesOf(WM_BROWSER_BEFOREPOPUP);
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().text, u"http://127.0.0.1/pop");
        EXPECT_EQ(asked.back().text2, c.frameName);
    }
    // Popups the engine opened are top-level: nothing of theirs reaches us.
    SyncUi();
    EXPECT_TRUE(Host().MessagesOf(WM_BROWSER_AFTERCREATED).empty());
}

TEST_F(BrowserTest, NavigationIsCanceledOnlyWhenTheHostAnswersOne) {
    struct Case {
        LRESULT answer;
        const char16_t* outcome;
    };
    const Case cases[] = {{1, u"canceled"}, {0, u"allowed"}, {2, u"allowed"}, {-1, u"allowed"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        Host().SetResult(WM_BROWSER_BEFOREBROWSE, c.answer);
        const size_t before = m_records.Of("navigation", m_id).size();
        m_browser->GetMainFrame()->LoadURL("http://127.0.0.1/next");
        const auto navigations = m_records.WaitFor("navigation", m_id, before + 1);
        ASSERT_EQ(navigations.size(), before + 1);
        EXPECT_EQ(navigations.back().fields, (Strings{u"http://127.0.0.1/next", c.outcome}));
        const auto asked = Host().MessagesOf(WM_BROWSER_BEFOREBROWSE);
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().text, u"http://127.0.0.1/next");
        EXPECT_EQ(asked.back().lParam, 0);
    }
}

TEST_F(BrowserTest, AuthenticationContinuesWithTheHostsTextsOnlyOnZero) {
    struct Case {
        const char* what;
        bool isProxy;
        LRESULT answer;
        std::wstring user, password;
        bool fillWithoutTerminator;
        Strings outcome;
    };
    const std::u16string fullUser(kBrowserAuthTextChars, u'u');
    const std::u16string fullPassword(kBrowserAuthTextChars, u'p');
    const Case cases[] = {
        {"filled", false, 0, L"alice", L"s3cret", false, {u"continued", u"alice", u"s3cret"}},
        {"proxy", true, 0, L"proxyuser", L"pw", false, {u"continued", u"proxyuser", u"pw"}},
        {"left empty", false, 0, L"", L"", false, {u"continued", u"", u""}},
        {"every character used", false, 0, L"", L"", true, {u"continued", fullUser, fullPassword}},
        {"refused", false, 1, L"alice", L"s3cret", false, {u"canceled"}},
        {"other answer", false, 2, L"alice", L"s3cret", false, {u"canceled"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Host().Reset();
        Host().SetResult(WM_BROWSER_AUTHCREDENTIALS, c.answer);
        Host().SetCredentials(c.user, c.password);
        if (c.fillWithoutTerminator) Host().SetCredentialsWithoutTerminator();
        const size_t before = m_records.Of("auth", m_id).size();
        ASSERT_TRUE(cef_testing::RequestCredentials(m_id, c.isProxy, u"127.0.0.1", 8080, u"Portal",
                                                    u"basic"));
        const auto auths = m_records.WaitFor("auth", m_id, before + 1);
        ASSERT_EQ(auths.size(), before + 1);
        Strings fields = auths.back().fields;
        if (c.outcome.size() == 1) fields.resize(1);
        EXPECT_EQ(fields, c.outcome);
        const auto asked = Host().MessagesOf(WM_BROWSER_AUTHCREDENTIALS);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, u"127.0.0.1");
        EXPECT_EQ(asked[0].text2, u"Portal");
        EXPECT_TRUE(asked[0].credentialsStartedEmpty);
    }
}

TEST_F(BrowserTest, AuthenticationWithoutRealmSendsAnEmptyRealm) {
    ASSERT_TRUE(cef_testing::RequestCredentials(m_id, false, u"127.0.0.1", 80, u"", u"basic"));
    const auto asked = WaitForHost(WM_BROWSER_AUTHCREDENTIALS);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text2, u"");
    EXPECT_EQ(m_records.WaitFor("auth", m_id).at(0).fields, (Strings{u"continued", u"", u""}));
}

// ---- The handler's own policies ------------------------------------------------

TEST_F(BrowserTest, PageAndFrameContextMenusAreEmptiedOthersKeepTheirEntries) {
    struct Case {
        int flags;
        int entries;
        int left;
    };
    const Case cases[] = {
        {CM_TYPEFLAG_PAGE, 5, 0},
        {CM_TYPEFLAG_FRAME, 3, 0},
        {CM_TYPEFLAG_PAGE | CM_TYPEFLAG_LINK, 4, 0},
        {CM_TYPEFLAG_FRAME | CM_TYPEFLAG_SELECTION, 2, 0},
        {CM_TYPEFLAG_PAGE, 0, 0},
        {CM_TYPEFLAG_LINK, 3, 3},
        {CM_TYPEFLAG_EDITABLE | CM_TYPEFLAG_SELECTION, 6, 6},
        {CM_TYPEFLAG_MEDIA, 2, 2},
        {CM_TYPEFLAG_NONE, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const size_t before = m_records.Of("context-menu", m_id).size();
        ASSERT_TRUE(cef_testing::OpenContextMenu(m_id, c.flags, c.entries));
        const auto menus = m_records.WaitFor("context-menu", m_id, before + 1);
        ASSERT_EQ(menus.size(), before + 1);
        ASSERT_EQ(menus.back().fields.size(), 2u);
        EXPECT_EQ(menus.back().fields[1], CefString(std::to_string(c.left)).ToString16());
    }
}

TEST_F(BrowserTest, BeforeUnloadDialogsAndConsoleMessagesNeverShow) {
    ASSERT_TRUE(cef_testing::BeforeUnload(m_id));
    ASSERT_TRUE(cef_testing::ConsoleMessage(m_id, u"Uncaught ReferenceError: x"));
    EXPECT_EQ(m_records.WaitFor("before-unload", m_id).at(0).fields, Strings{u"suppressed"});
    EXPECT_EQ(m_records.WaitFor("console", m_id).at(0).fields, Strings{u"swallowed"});
}

TEST_F(BrowserTest, DownloadsAreOfferedInTheDocumentsFolderWithTheSaveDialog) {
    struct Case {
        std::u16string suggested;
        std::u16string file;
    };
    const Case cases[] = {
        {u"report.pdf", u"report.pdf"},
        {u"客户端补丁.zip", u"客户端补丁.zip"},
        // Folders in a server's suggestion never lead out of the documents folder.
        {u"..\\..\\Startup\\evil.exe", u"evil.exe"},
        {u"../up.txt", u"up.txt"},
        {u"..", u""},
    };
    const std::u16string folder = DocumentsFolder();
    ASSERT_FALSE(folder.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(CefString(c.suggested).ToString());
        const size_t before = m_records.Of("download", m_id).size();
        ASSERT_TRUE(cef_testing::StartDownload(m_id, u"http://127.0.0.1/file", c.suggested, {}));
        const auto downloads = m_records.WaitFor("download", m_id, before + 1);
        ASSERT_EQ(downloads.size(), before + 1);
        EXPECT_EQ(downloads.back().fields, (Strings{folder + u"\\" + c.file, u"dialog"}));
    }
}

TEST_F(BrowserTest, DownloadProgressReachesTheHostFieldByField) {
    std::vector<cef_testing::DownloadProgress> steps(3);
    steps[0].percent = -1;
    steps[0].speed = 1000;
    steps[0].received = 1000;
    steps[1].percent = 50;
    steps[1].speed = 3000000000LL;
    steps[1].received = 5000000000LL;
    steps[1].total = 10000000000LL;
    steps[2].inProgress = false;
    steps[2].complete = true;
    steps[2].percent = 100;
    steps[2].received = steps[2].total = 10000000000LL;
    ASSERT_TRUE(cef_testing::StartDownload(m_id, u"http://127.0.0.1/big", u"big.bin", steps));
    const auto updates = WaitForHost(WM_BROWSER_DOWNLOADUPDATED, steps.size());
    ASSERT_EQ(updates.size(), steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const BrowserDownloadState& s = updates[i].download;
        EXPECT_EQ(s.valid, 1);
        EXPECT_EQ(s.inProgress, steps[i].inProgress ? 1 : 0);
        EXPECT_EQ(s.complete, steps[i].complete ? 1 : 0);
        EXPECT_EQ(s.canceled, steps[i].canceled ? 1 : 0);
        EXPECT_EQ(s.percent, steps[i].percent);
        EXPECT_EQ(s.speed, steps[i].speed);
        EXPECT_EQ(s.received, steps[i].received);
        EXPECT_EQ(s.total, steps[i].total);
    }
}
