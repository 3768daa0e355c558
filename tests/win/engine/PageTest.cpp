// The test backend's page: loads, and every automation operation reaching
// the client's callback (or the render side) as a real page's event would.
#include "BrowserTest.h"

#include "cef/CefTesting.h"

#include <algorithm>
#include <memory>

namespace {

using namespace cef_testing;

using PageTest = BrowserTest;

std::vector<std::string> Names(const std::vector<ClientEvent>& events) {
    std::vector<std::string> names;
    for (const ClientEvent& e : events) {
        if (e.name != "OnProcessMessageReceived") names.push_back(e.name);
    }
    return names;
}

// ---- Loads -------------------------------------------------------------------------

TEST_F(PageTest, LoadUrlCompletesALoadOnItsOwn) {
    RecordCursor records;
    ASSERT_TRUE(Load("http://page.test/login"));
    EXPECT_EQ(Names(s_client->Events()),
              (std::vector<std::string>{"OnBeforeBrowse", "OnAddressChange", "OnLoadingStateChange",
                                        "OnLoadStart", "OnLoadEnd", "OnLoadingStateChange"}));
    ClientEvent browse, end;
    ASSERT_TRUE(s_client->WaitFor("OnBeforeBrowse", &browse));
    EXPECT_EQ(browse.texts, (std::vector<std::u16string>{u"http://page.test/login", u"GET"}));
    ASSERT_TRUE(s_client->WaitFor("OnLoadEnd", &end));
    EXPECT_EQ(end.numbers, (std::vector<long long>{200, 1}));
    EXPECT_EQ(s_client->EventsNamed("OnLoadingStateChange")[0].numbers[0], 1);
    EXPECT_EQ(s_browser->GetMainFrame()->GetURL(), CefString("http://page.test/login"));
    EXPECT_FALSE(s_browser->IsLoading());
    EXPECT_TRUE(records.WaitFor("load-url", Id(), nullptr, [](const Record& r) {
        return r.fields == std::vector<std::u16string>{u"http://page.test/login"};
    }));
    EXPECT_TRUE(records.WaitFor("navigation", Id(), nullptr,
                                [](const Record& r) { return r.fields[1] == u"allowed"; }));
}

TEST_F(PageTest, ACanceledNavigationLoadsNothing) {
    ASSERT_TRUE(Load("http://page.test/stay"));
    s_client->Clear();
    s_client->cancelNavigations = true;
    RecordCursor records;
    s_browser->GetMainFrame()->LoadURL("http://page.test/refused");
    ASSERT_TRUE(records.WaitFor("navigation", Id(), nullptr, [](const Record& r) {
        return r.fields == std::vector<std::u16string>{u"http://page.test/refused", u"canceled"};
    }));
    PumpFor(100);
    EXPECT_TRUE(s_client->EventsNamed("OnAddressChange").empty());
    EXPECT_EQ(s_browser->GetMainFrame()->GetURL(), CefString("http://page.test/stay"));
}

TEST_F(PageTest, ReloadIgnoringTheCacheLoadsTheCurrentAddressAgain) {
    ASSERT_TRUE(Load("http://page.test/again"));
    s_client->Clear();
    RecordCursor records;
    s_browser->ReloadIgnoreCache();
    EXPECT_TRUE(records.WaitFor("reload-ignore-cache", Id(), nullptr, [](const Record& r) {
        return r.fields == std::vector<std::u16string>{u"http://page.test/again"};
    }));
    EXPECT_TRUE(s_client->WaitFor("OnLoadEnd", nullptr, [](const ClientEvent& e) {
        return e.texts[1] == u"http://page.test/again";
    }));
}

TEST_F(PageTest, HistoryAllowsGoingBackAfterASecondLoad) {
    ASSERT_TRUE(Load("http://page.test/one"));
    ASSERT_TRUE(Load("http://page.test/two"));
    EXPECT_TRUE(s_browser->CanGoBack());
    EXPECT_FALSE(s_browser->CanGoForward());
    ClientEvent last = s_client->EventsNamed("OnLoadingStateChange").back();
    EXPECT_EQ(last.numbers, (std::vector<long long>{0, 1, 0}));
}

TEST_F(PageTest, FinishLoadEndsInEveryFrameThenGoesIdle) {
    ASSERT_TRUE(FinishLoad(Id(), 3, 404, u"http://page.test/frames"));
    for (const char16_t* name : {u"", u"frame1", u"frame2"}) {
        EXPECT_TRUE(s_client->WaitForContext(name)) << CefString(name).ToString();
    }
    ASSERT_TRUE(s_client->WaitFor("OnLoadingStateChange"));
    std::vector<ClientEvent> ends = s_client->EventsNamed("OnLoadEnd");
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0].texts[0], u"");
    EXPECT_EQ(ends[1].texts[0], u"frame1");
    EXPECT_EQ(ends[2].texts[0], u"frame2");
    for (const ClientEvent& end : ends) EXPECT_EQ(end.numbers[0], 404);
    EXPECT_EQ(s_client->EventsNamed("OnLoadingStateChange").back().numbers[0], 0);
    EXPECT_EQ(s_browser->GetFrameCount(), 3u);
    EXPECT_EQ(s_browser->GetMainFrame()->GetURL(), CefString("http://page.test/frames"));
}

// ---- Display and load events -------------------------------------------------------------

TEST_F(PageTest, DisplayAndLoadEventsReachTheirCallbacks) {
    ASSERT_TRUE(FinishLoad(Id(), 2, 200, u"http://page.test/events"));
    ASSERT_TRUE(s_client->WaitForContext(u"frame1"));
    struct Case {
        std::function<bool()> drive;
        const char* callback;
        std::vector<std::u16string> texts;
        std::vector<long long> numbers;
    } cases[] = {
        {[&] { return ChangeTitle(Id(), u"\u6e38\u620f"); },
         "OnTitleChange",
         {u"\u6e38\u620f"},
         {}},
        {[&] { return ChangeTitle(Id(), u""); }, "OnTitleChange", {u""}, {}},
        {[&] { return ChangeStatus(Id(), u"loading..."); }, "OnStatusMessage", {u"loading..."}, {}},
        {[&] { return ChangeAddress(Id(), 1, u"http://page.test/sub"); },
         "OnAddressChange",
         {u"http://page.test/sub", u"frame1"},
         {0}},
        {[&] { return ChangeLoadingState(Id(), true, false, true); },
         "OnLoadingStateChange",
         {},
         {1, 0, 1}},
        {[&] { return ReportLoadError(Id(), 0, ERR_NAME_NOT_RESOLVED, u"http://gone.test/"); },
         "OnLoadError",
         {u"net::ERR_NAME_NOT_RESOLVED", u"http://gone.test/", u""},
         {-105}},
        {[&] { return ReportLoadError(Id(), 1, ERR_CONNECTION_REFUSED, u"http://x.test/"); },
         "OnLoadError",
         {u"net::ERR_CONNECTION_REFUSED", u"http://x.test/", u"frame1"},
         {-102}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.callback);
        s_client->Clear();
        ASSERT_TRUE(c.drive());
        ClientEvent event;
        ASSERT_TRUE(s_client->WaitFor(c.callback, &event));
        EXPECT_EQ(event.texts, c.texts);
        EXPECT_EQ(event.numbers, c.numbers);
        EXPECT_EQ(event.browserId, Id());
    }
}

TEST_F(PageTest, ConsoleMessagesAreSwallowedOnlyWhenTheClientSaysSo) {
    for (bool swallow : {true, false}) {
        s_client->swallowConsole = swallow;
        RecordCursor records;
        ASSERT_TRUE(ConsoleMessage(Id(), u"hello"));
        Record record;
        ASSERT_TRUE(records.WaitFor("console", Id(), &record));
        EXPECT_EQ(record.fields[0], swallow ? u"swallowed" : u"logged");
    }
}

// ---- Script and document -------------------------------------------------------------------

TEST_F(PageTest, CallFunctionRunsTheFunctionsHandler) {
    ASSERT_TRUE(Load("http://page.test/script"));
    struct Case {
        const char16_t* function;
        const char16_t* outcome;
    } cases[] = {
        {u"Report", u"handled"},
        {u"Throw", u"exception: thrown"},
        {u"Decline", u"not-handled"},
        {u"Missing", u"no-function"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CefString(c.function).ToString());
        RecordCursor records;
        ASSERT_TRUE(CallFunction(Id(), 0, c.function, {ScriptArg::String(u"caption")}));
        Record record;
        ASSERT_TRUE(records.WaitFor("script-call", Id(), &record));
        EXPECT_EQ(record.fields, (std::vector<std::u16string>{u"0", c.function, c.outcome}));
    }
}

TEST_F(PageTest, ScriptArgumentsArriveWithTheirTypes) {
    ASSERT_TRUE(Load("http://page.test/arguments"));
    ASSERT_TRUE(CallFunction(
        Id(), 0, u"Report",
        {ScriptArg::String(u"http://game.test/"), ScriptArg::Int(3), ScriptArg::Double(1.5),
         ScriptArg::Bool(true), ScriptArg::Null(), ScriptArg()}));
    ClientEvent reported;
    ASSERT_TRUE(s_client->WaitFor("OnProcessMessageReceived", &reported, [](const ClientEvent& e) {
        return e.message->GetName() == CefString("Reported");
    }));
    CefRefPtr<CefListValue> args = reported.message->GetArgumentList();
    ASSERT_EQ(args->GetSize(), 7u);
    EXPECT_EQ(args->GetString(0), CefString("http://game.test/"));
    for (size_t i = 1; i < 6; ++i) EXPECT_TRUE(args->GetString(i).empty()) << i;
    EXPECT_TRUE(args->GetBool(6)) << "ran on the render thread";
}

TEST_F(PageTest, TheFocusedElementIsWhatTheDocumentVisitorSees) {
    ASSERT_TRUE(FinishLoad(Id(), 2, 200, u"http://page.test/focus"));
    ASSERT_TRUE(s_client->WaitForContext(u"frame1"));
    struct Case {
        int frame;
        bool element, hasTitle;
        std::u16string title;
        bool seesNode, seesTitle;
        const char16_t* focusedFrame;
    } cases[] = {
        {0, true, true, u"\u670d\u52a1\u5668\u4e00", true, true, u""},
        {0, true, true, u"", true, true, u""},
        {0, true, false, u"ignored", true, false, u""},
        {0, false, false, u"", false, false, u""},
        {1, true, true, u"in a sub-frame", true, true, u"frame1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CefString(c.title).ToString());
        ASSERT_TRUE(FocusElement(Id(), c.frame, c.element, c.hasTitle, c.title));
        ClientEvent reply;
        ASSERT_TRUE(Ask(CefProcessMessage::Create("Focused"), "Focused-reply", &reply));
        CefRefPtr<CefListValue> args = reply.message->GetArgumentList();
        EXPECT_EQ(args->GetBool(0), c.seesNode);
        EXPECT_EQ(args->GetBool(1), c.seesTitle);
        EXPECT_EQ(args->GetString(2).ToString16(), c.seesTitle ? c.title : u"");
        EXPECT_EQ(args->GetString(4).ToString16(), c.focusedFrame);
        EXPECT_EQ(s_browser->GetFocusedFrame()->GetName().ToString16(), c.focusedFrame);
    }
}

TEST_F(PageTest, TheBodyIsThereUnlessThePageHasNone) {
    ASSERT_TRUE(Load("http://page.test/body"));
    RecordCursor records;
    ClientEvent reply;
    auto setScroll = [&](const char* value) {
        CefRefPtr<CefProcessMessage> set = CefProcessMessage::Create("SetBodyAttribute");
        set->GetArgumentList()->SetString(0, "scroll");
        set->GetArgumentList()->SetString(1, value);
        return Ask(set, "Body-set", &reply);
    };
    auto query = [&](std::vector<std::u16string> expected) {
        RecordCursor cursor;
        Record record;
        return QueryBodyAttribute(Id(), 0, u"scroll") &&
               cursor.WaitFor("body-attribute", Id(), &record) && record.fields == expected;
    };
    EXPECT_TRUE(query({u"0", u"scroll", u"", u"body"}));
    ASSERT_TRUE(setScroll("yes"));
    ASSERT_TRUE(setScroll("no"));
    EXPECT_TRUE(reply.message->GetArgumentList()->GetBool(0));
    EXPECT_TRUE(query({u"0", u"scroll", u"no", u"body"}));
    ASSERT_TRUE(SetHasBody(Id(), 0, false));
    ASSERT_TRUE(setScroll("no"));
    EXPECT_FALSE(reply.message->GetArgumentList()->GetBool(0));
    EXPECT_TRUE(query({u"0", u"scroll", u"", u"no-body"}));
}

// ---- Popups, credentials, downloads, menus, dialogs ------------------------------------------

TEST_F(PageTest, APopupTheClientCancelsStaysClosed) {
    s_client->cancelPopups = true;
    RecordCursor records;
    ASSERT_TRUE(RequestPopup(Id(), 0, u"http://page.test/pop", u"_game"));
    Record record;
    ASSERT_TRUE(records.WaitFor("popup", Id(), &record));
    EXPECT_EQ(record.fields,
              (std::vector<std::u16string>{u"http://page.test/pop", u"_game", u"canceled"}));
    ClientEvent asked;
    ASSERT_TRUE(s_client->WaitFor("OnBeforePopup", &asked));
    EXPECT_EQ(asked.texts, (std::vector<std::u16string>{u"http://page.test/pop", u"_game", u""}));
    PumpFor(100);
    EXPECT_TRUE(s_client->EventsNamed("OnAfterCreated").empty());
}

TEST_F(PageTest, AnAllowedPopupOpensAsATopLevelBrowser) {
    RecordCursor records;
    ASSERT_TRUE(RequestPopup(Id(), 0, u"http://page.test/window", u"_blank"));
    ClientEvent created;
    ASSERT_TRUE(s_client->WaitFor("OnAfterCreated", &created,
                                  [](const ClientEvent& e) { return e.isPopup; }));
    EXPECT_TRUE(created.parentless);
    EXPECT_EQ(created.thread, "UI");
    EXPECT_NE(created.browserId, Id());
    EXPECT_TRUE(records.WaitFor("popup", Id(), nullptr,
                                [](const Record& r) { return r.fields[2] == u"opened"; }));
    EXPECT_TRUE(s_client->WaitFor("OnLoadEnd", nullptr, [&](const ClientEvent& e) {
        return e.browserId == created.browserId && e.texts[1] == u"http://page.test/window";
    }));
    std::vector<int> ids = BrowserIds();
    EXPECT_NE(std::find(ids.begin(), ids.end(), created.browserId), ids.end());
    created.browser->GetHost()->CloseBrowser(true);
    ClientEvent closed;
    EXPECT_TRUE(s_client->WaitFor("OnBeforeClose", &closed, [&](const ClientEvent& e) {
        return e.browserId == created.browserId;
    }));
    EXPECT_EQ(closed.thread, "UI");
    EXPECT_FALSE(IsWindow(created.browser->GetHost()->GetWindowHandle()));
    ids = BrowserIds();
    EXPECT_EQ(std::find(ids.begin(), ids.end(), created.browserId), ids.end());
}

TEST_F(PageTest, CredentialsAreContinuedOrCanceled) {
    for (bool answer : {true, false}) {
        s_client->answerAuth = answer;
        RecordCursor records;
        ASSERT_TRUE(RequestCredentials(Id(), true, u"proxy.test", 3128, u"Game", u"basic"));
        Record record;
        ASSERT_TRUE(records.WaitFor("auth", Id(), &record));
        std::vector<std::u16string> expected =
            answer ? std::vector<std::u16string>{u"continued", u"player", u"pa\u00DFword"}
                   : std::vector<std::u16string>{u"canceled", u"", u""};
        EXPECT_EQ(record.fields, expected);
    }
    ClientEvent asked;
    ASSERT_TRUE(s_client->WaitFor("GetAuthCredentials", &asked));
    EXPECT_EQ(asked.texts, (std::vector<std::u16string>{u"proxy.test", u"Game", u"basic"}));
    EXPECT_EQ(asked.numbers, (std::vector<long long>{1, 3128}));
}

TEST_F(PageTest, AContinuedDownloadReportsEveryStep) {
    DownloadProgress first, last;
    first.percent = -1;
    first.speed = 100;
    first.received = 10;
    first.total = 0;
    last.inProgress = false;
    last.complete = true;
    last.percent = 100;
    last.received = last.total = 4096;
    RecordCursor records;
    ASSERT_TRUE(StartDownload(Id(), u"http://page.test/setup.exe", u"setup.exe", {first, last}));
    Record record;
    ASSERT_TRUE(records.WaitFor("download", Id(), &record));
    EXPECT_EQ(record.fields, (std::vector<std::u16string>{u"C:\\downloads\\setup.exe", u"dialog"}));
    ASSERT_TRUE(PumpUntil([] { return s_client->EventsNamed("OnDownloadUpdated").size() == 2; }));
    std::vector<ClientEvent> updates = s_client->EventsNamed("OnDownloadUpdated");
    CefRefPtr<CefDownloadItem> a = updates[0].item, b = updates[1].item;
    EXPECT_TRUE(a->IsValid() && a->IsInProgress() && !a->IsComplete());
    EXPECT_EQ(a->GetPercentComplete(), -1);
    EXPECT_EQ(a->GetCurrentSpeed(), 100);
    EXPECT_EQ(a->GetReceivedBytes(), 10);
    EXPECT_TRUE(!b->IsInProgress() && b->IsComplete() && !b->IsCanceled());
    EXPECT_EQ(b->GetPercentComplete(), 100);
    EXPECT_EQ(b->GetTotalBytes(), 4096);
    EXPECT_EQ(b->GetFullPath(), CefString("C:\\downloads\\setup.exe"));
    EXPECT_EQ(b->GetURL(), CefString("http://page.test/setup.exe"));
}

TEST_F(PageTest, ADownloadWithoutContinueIsRefused) {
    s_client->continueDownloads = false;
    RecordCursor records;
    ASSERT_TRUE(StartDownload(Id(), u"http://page.test/x.zip", u"x.zip", {DownloadProgress()}));
    Record record;
    ASSERT_TRUE(records.WaitFor("download", Id(), &record));
    EXPECT_EQ(record.fields, (std::vector<std::u16string>{u"", u"refused"}));
    PumpFor(100);
    EXPECT_TRUE(s_client->EventsNamed("OnDownloadUpdated").empty());
}

TEST_F(PageTest, ACanceledDownloadStops) {
    s_client->cancelDownloadAtFirstUpdate = true;
    RecordCursor records;
    ASSERT_TRUE(StartDownload(Id(), u"http://page.test/big.zip", u"big.zip",
                              {DownloadProgress(), DownloadProgress(), DownloadProgress()}));
    ASSERT_TRUE(records.WaitFor("download-canceled", Id()));
    std::vector<ClientEvent> updates = s_client->EventsNamed("OnDownloadUpdated");
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_TRUE(updates[1].item->IsCanceled());
    EXPECT_FALSE(updates[1].item->IsInProgress());
}

TEST_F(PageTest, ContextMenusKeepWhatTheClientLeaves) {
    struct Case {
        int flags, entries, left;
    } cases[] = {
        {CM_TYPEFLAG_PAGE, 3, 0},
        {CM_TYPEFLAG_FRAME | CM_TYPEFLAG_LINK, 1, 0},
        {CM_TYPEFLAG_LINK, 2, 2},
        {CM_TYPEFLAG_EDITABLE | CM_TYPEFLAG_SELECTION, 4, 4},
    };
    for (const Case& c : cases) {
        RecordCursor records;
        ASSERT_TRUE(OpenContextMenu(Id(), c.flags, c.entries));
        Record record;
        ASSERT_TRUE(records.WaitFor("context-menu", Id(), &record));
        EXPECT_EQ(record.fields, (std::vector<std::u16string>{U16(std::to_string(c.flags)),
                                                              U16(std::to_string(c.left))}));
    }
    ClientEvent asked;
    ASSERT_TRUE(s_client->WaitFor("OnBeforeContextMenu", &asked));
    EXPECT_EQ(asked.numbers, (std::vector<long long>{CM_TYPEFLAG_PAGE, 3}));
}

TEST_F(PageTest, BeforeUnloadDialogsAreSuppressedOnlyByTheClient) {
    for (bool suppress : {true, false}) {
        s_client->suppressBeforeUnload = suppress;
        RecordCursor records;
        ASSERT_TRUE(BeforeUnload(Id()));
        Record record;
        ASSERT_TRUE(records.WaitFor("before-unload", Id(), &record));
        EXPECT_EQ(record.fields[0], suppress ? u"suppressed" : u"dialog");
    }
}

TEST_F(PageTest, TheHostsFocusIsRecorded) {
    RecordCursor records;
    s_browser->GetHost()->SetFocus(true);
    s_browser->GetHost()->SetFocus(false);
    ASSERT_TRUE(PumpUntil([&] { return records.Matching("host-focus", Id()).size() == 2; }));
    EXPECT_EQ(records.Matching("host-focus", Id())[0].fields[0], u"1");
    EXPECT_EQ(records.Matching("host-focus", Id())[1].fields[0], u"0");
}

// ---- The window --------------------------------------------------------------------------

// The browser window's picture, as PrintWindow gets it.
class WindowPicture {
public:
    explicit WindowPicture(HWND window) {
        GetClientRect(window, &m_rect);
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, m_rect.right, m_rect.bottom);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        m_printed = PrintWindow(window, m_dc, PW_CLIENTONLY) != FALSE;
    }
    ~WindowPicture() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    bool Printed() const { return m_printed; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    // Pixels clearly darker than the background in rows [top, bottom).
    int DarkPixels(int top, int bottom) const {
        int dark = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < m_rect.right; ++x) dark += GetGValue(At(x, y)) < 160 ? 1 : 0;
        }
        return dark;
    }

private:
    RECT m_rect = {};
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    bool m_printed = false;
};

TEST_F(PageTest, TheWindowShowsTheAddressAndTheTitleOnALightBackground) {
    HWND window = s_browser->GetHost()->GetWindowHandle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), s_host->Handle());
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CHILD, WS_CHILD);
    ASSERT_TRUE(Load("http://page.test/picture"));
    ASSERT_TRUE(ChangeTitle(Id(), u""));
    ASSERT_TRUE(s_client->WaitFor("OnTitleChange"));
    WindowPicture untitled(window);
    ASSERT_TRUE(untitled.Printed());
    EXPECT_EQ(untitled.At(1, 1), RGB(246, 246, 240));
    EXPECT_GT(untitled.DarkPixels(8, 28), 20) << "the address";
    EXPECT_EQ(untitled.DarkPixels(28, 48), 0) << "no title yet";
    s_client->Clear();
    ASSERT_TRUE(ChangeTitle(Id(), u"Ashgrove"));
    ASSERT_TRUE(s_client->WaitFor("OnTitleChange"));
    WindowPicture titled(window);
    EXPECT_GT(titled.DarkPixels(28, 48), 20) << "the title";
}

// A browser asked for before the client has its handler: it loads all the
// same, and goes when its parent window goes.
TEST(BrowserWithoutClientTest, LoadsAndClosesWithItsParent) {
    RecordCursor records;
    auto host = std::make_unique<HostWindow>();
    CefWindowInfo info;
    info.SetAsChild(host->Handle(), RECT{0, 0, 0, 0});
    ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, nullptr, "http://no-client.test/",
                                              CefBrowserSettings(), nullptr));
    Record created;
    ASSERT_TRUE(records.WaitFor("browser-created", 0, &created));
    int id = created.browserId;
    EXPECT_EQ(created.fields[1], U16(std::to_string(reinterpret_cast<intptr_t>(host->Handle()))));
    EXPECT_TRUE(records.WaitFor("navigation", id, nullptr, [](const Record& r) {
        return r.fields == std::vector<std::u16string>{u"http://no-client.test/", u"allowed"};
    }));
    EXPECT_TRUE(records.WaitFor("render-started", id));
    host.reset();
    EXPECT_TRUE(records.WaitFor("browser-closed", id));
    EXPECT_TRUE(records.WaitFor("render-ended", id, nullptr,
                                [](const Record& r) { return r.fields[1] == u"closed"; }));
    std::vector<int> ids = BrowserIds();
    EXPECT_EQ(std::find(ids.begin(), ids.end(), id), ids.end());
}

TEST(BrowserWithoutClientTest, IsRefusedForAParentThatIsNoWindow) {
    CefWindowInfo info;
    info.SetAsChild(reinterpret_cast<HWND>(0x7654), RECT{0, 0, 10, 10});
    EXPECT_FALSE(
        CefBrowserHost::CreateBrowser(info, nullptr, "about:blank", CefBrowserSettings(), nullptr));
}

// ---- Refusals -----------------------------------------------------------------------------

TEST_F(PageTest, AnUnknownBrowserIsRefusedAndABadFrameReported) {
    const int nobody = 9999;
    const std::function<bool()> calls[] = {
        [] { return FinishLoad(nobody, 1, 200, u""); },
        [] { return ChangeTitle(nobody, u"t"); },
        [] { return ChangeAddress(nobody, 0, u"u"); },
        [] { return ChangeLoadingState(nobody, false, false, false); },
        [] { return ChangeStatus(nobody, u"s"); },
        [] { return ReportLoadError(nobody, 0, -105, u"u"); },
        [] { return ConsoleMessage(nobody, u"c"); },
        [] { return CallFunction(nobody, 0, u"f", {}); },
        [] { return FocusElement(nobody, 0, true, false, u""); },
        [] { return SetHasBody(nobody, 0, true); },
        [] { return QueryBodyAttribute(nobody, 0, u"a"); },
        [] { return RequestPopup(nobody, 0, u"u", u"n"); },
        [] { return RequestCredentials(nobody, false, u"h", 80, u"r", u"s"); },
        [] { return StartDownload(nobody, u"u", u"n", {}); },
        [] { return OpenContextMenu(nobody, 1, 1); },
        [] { return BeforeUnload(nobody); },
        [] { return KillRenderProcess(nobody); },
        [] { return RenderSendsGarbage(nobody, kGarbageOversized); },
    };
    for (const auto& call : calls) EXPECT_FALSE(call());
    EXPECT_EQ(RenderProcessId(nobody), 0u);
    EXPECT_FALSE(RenderSendsGarbage(Id(), 0));

    RecordCursor records;
    ASSERT_TRUE(ChangeAddress(Id(), 7, u"http://page.test/"));
    Record record;
    ASSERT_TRUE(records.WaitFor("automation-error", Id(), &record));
    EXPECT_EQ(record.fields[0], u"no frame 7");
}

}  // namespace
