// The engine's threads: tasks, the thread of every callback, and engine
// objects used from the client's main thread while an engine thread waits
// on it.
#include "BrowserTest.h"
#include "ChildProcess.h"
#include "TestApp.h"

#include "cef/CefCookie.h"
#include "cef/CefProcess.h"
#include "cef/CefTask.h"
#include "cef/CefTesting.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace {

class Task : public CefTask {
public:
    explicit Task(std::function<void()> work) : m_work(std::move(work)) {}
    void Execute() override { m_work(); }

private:
    std::function<void()> m_work;

    IMPLEMENT_REFCOUNTING(Task);
};

// Runs `work` on the engine thread and waits for it.
bool RunOn(CefThreadId thread, std::function<void()> work) {
    std::atomic<bool> done{false};
    if (!CefPostTask(thread, new Task([&] {
                         work();
                         done = true;
                     }))) {
        return false;
    }
    return PumpUntil([&] { return done.load(); });
}

TEST(ThreadTest, TasksRunOnTheThreadTheyArePostedTo) {
    EXPECT_FALSE(CefCurrentlyOn(TID_UI));
    EXPECT_FALSE(CefCurrentlyOn(TID_IO));
    bool onUi = false, onIo = false, uiIsIo = true, ioIsUi = true;
    ASSERT_TRUE(
        RunOn(TID_UI, [&] { onUi = CefCurrentlyOn(TID_UI), uiIsIo = CefCurrentlyOn(TID_IO); }));
    ASSERT_TRUE(
        RunOn(TID_IO, [&] { onIo = CefCurrentlyOn(TID_IO), ioIsUi = CefCurrentlyOn(TID_UI); }));
    EXPECT_TRUE(onUi);
    EXPECT_TRUE(onIo);
    EXPECT_FALSE(uiIsIo);
    EXPECT_FALSE(ioIsUi);
    // The browser process has no render thread.
    EXPECT_FALSE(CefPostTask(TID_RENDERER, new Task([] {})));
}

TEST(ThreadTest, DelayedTasksWaitTheirTurn) {
    std::mutex mutex;
    std::vector<std::pair<int, ULONGLONG>> ran;
    ULONGLONG start = GetTickCount64();
    auto note = [&](int which) {
        return new Task([&, which] {
            std::lock_guard<std::mutex> lock(mutex);
            ran.emplace_back(which, GetTickCount64() - start);
        });
    };
    ASSERT_TRUE(CefPostDelayedTask(TID_UI, note(2), 150));
    ASSERT_TRUE(CefPostDelayedTask(TID_UI, note(1), 50));
    ASSERT_TRUE(CefPostTask(TID_UI, note(0)));
    ASSERT_TRUE(PumpUntil([&] {
        std::lock_guard<std::mutex> lock(mutex);
        return ran.size() == 3;
    }));
    EXPECT_EQ(ran[0].first, 0);
    EXPECT_EQ(ran[1].first, 1);
    EXPECT_EQ(ran[2].first, 2);
    EXPECT_GE(ran[1].second, 45u);
    EXPECT_GE(ran[2].second, 145u);
}

TEST(ThreadTest, TheContextWasInitialisedOnTheUiThread) {
    ASSERT_TRUE(PumpUntil([] { return !TestApp::ContextInitializedThread().empty(); }));
    EXPECT_EQ(TestApp::ContextInitializedThread(), "UI");
}

TEST(ThreadTest, ACallbackOnTheWrongThreadFailsLoudly) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(L"--engine-test-child=wrong-thread"));
    EXPECT_NE(child.Wait(), 0);
    EXPECT_NE(child.Errors().find("must run on the UI thread"), std::string::npos)
        << child.Errors();
}

using CallbackThreadTest = BrowserTest;

TEST_F(CallbackThreadTest, EveryCallbackRunsOnItsNamedThread) {
    using namespace cef_testing;
    s_client->cancelPopups = true;  // no popup window to clean up
    ASSERT_TRUE(Load("http://threads.test/"));
    s_client->Clear();
    ASSERT_TRUE(FinishLoad(Id(), 2, 200, u"http://threads.test/"));
    ASSERT_TRUE(ChangeTitle(Id(), u"title"));
    ASSERT_TRUE(ChangeStatus(Id(), u"status"));
    ASSERT_TRUE(ReportLoadError(Id(), 1, ERR_NAME_NOT_RESOLVED, u"http://nowhere.test/"));
    ASSERT_TRUE(ConsoleMessage(Id(), u"console"));
    ASSERT_TRUE(OpenContextMenu(Id(), CM_TYPEFLAG_PAGE, 2));
    ASSERT_TRUE(BeforeUnload(Id()));
    ASSERT_TRUE(StartDownload(Id(), u"http://threads.test/f.zip", u"f.zip", {DownloadProgress()}));
    ASSERT_TRUE(RequestPopup(Id(), 0, u"http://threads.test/popup", u"_blank"));
    ASSERT_TRUE(RequestCredentials(Id(), false, u"threads.test", 80, u"realm", u"basic"));
    s_browser->GetMainFrame()->LoadURL("http://threads.test/next");
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"OnProcessMessageReceived", "UI"}, {"OnLoadEnd", "UI"},
        {"OnLoadingStateChange", "UI"},     {"OnTitleChange", "UI"},
        {"OnStatusMessage", "UI"},          {"OnLoadError", "UI"},
        {"OnConsoleMessage", "UI"},         {"OnBeforeContextMenu", "UI"},
        {"OnBeforeUnloadDialog", "UI"},     {"OnBeforeDownload", "UI"},
        {"OnDownloadUpdated", "UI"},        {"OnBeforePopup", "IO"},
        {"GetAuthCredentials", "IO"},       {"OnBeforeBrowse", "UI"},
        {"OnAddressChange", "UI"},          {"OnLoadStart", "UI"},
    };
    for (const auto& callback : expected) {
        EXPECT_TRUE(s_client->WaitFor(callback.first)) << callback.first;
    }
    for (const ClientEvent& event : s_client->Events()) {
        for (const auto& callback : expected) {
            if (event.name == callback.first) {
                EXPECT_EQ(event.thread, callback.second) << event.name;
            }
        }
    }
}

TEST_F(CallbackThreadTest, TheRenderSideRunsOnTheRenderThread) {
    ClientEvent reply;
    ASSERT_TRUE(Ask(CefProcessMessage::Create("Threads"), "Threads-reply", &reply));
    EXPECT_TRUE(reply.message->GetArgumentList()->GetBool(0));
    EXPECT_FALSE(reply.message->GetArgumentList()->GetBool(1));
    ClientEvent context;
    ASSERT_TRUE(Load("http://render-thread.test/"));
    ASSERT_TRUE(s_client->WaitFor("OnProcessMessageReceived", &context, [](const ClientEvent& e) {
        return e.message->GetName() == CefString("ContextCreated");
    }));
    EXPECT_TRUE(context.message->GetArgumentList()->GetBool(4));
}

// The client's handler reaches its windows by SendMessageW: while the UI
// thread waits inside one, the main thread must still get answers from the
// engine objects at once.
TEST_F(CallbackThreadTest, EngineObjectsAnswerTheMainThreadWhileTheUiThreadWaitsOnIt) {
    std::atomic<int> handled{0};
    ULONGLONG longestCall = 0;
    CefString focusedUrl;
    HWND window = nullptr;
    bool sent = false;
    s_client->onLoadEnd = [&] {
        s_host->RunOnOwner([&] {
            if (handled++ > 0) return;
            ULONGLONG start = GetTickCount64();
            s_browser->GetMainFrame()->LoadURL("http://blocked.test/second");
            focusedUrl = s_browser->GetFocusedFrame()->GetURL();
            window = s_browser->GetHost()->GetWindowHandle();
            sent =
                s_browser->SendProcessMessage(PID_RENDERER, CefProcessMessage::Create("Threads"));
            s_browser->GetHost()->SetFocus(true);
            longestCall = GetTickCount64() - start;
        });
    };
    s_browser->GetMainFrame()->LoadURL("http://blocked.test/first");
    ASSERT_TRUE(PumpUntil([&] { return handled > 0; }));
    EXPECT_LT(longestCall, 500u);
    EXPECT_EQ(focusedUrl, CefString("http://blocked.test/first"));
    EXPECT_EQ(window, s_browser->GetHost()->GetWindowHandle());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(sent);
    EXPECT_TRUE(s_client->WaitFor("OnLoadEnd", nullptr, [](const ClientEvent& e) {
        return e.texts[1] == u"http://blocked.test/second";
    }));
    EXPECT_TRUE(s_client->WaitFor("OnProcessMessageReceived", nullptr, [](const ClientEvent& e) {
        return e.message->GetName() == CefString("Threads-reply");
    }));
    s_client->onLoadEnd = nullptr;
}

// ---- Cookies ------------------------------------------------------------------------

class CompletionProbe : public CefSetCookieCallback {
public:
    void OnComplete(bool success) override {
        onIo = CefCurrentlyOn(TID_IO);
        result = success;
        done = true;
    }
    std::atomic<bool> done{false};
    std::atomic<bool> onIo{false};
    std::atomic<bool> result{false};

    IMPLEMENT_REFCOUNTING(CompletionProbe);
};

TEST(CookieTest, TheStoreTakesCookiesOnTheIoThreadOnlyForFittingUrls) {
    struct Case {
        bool onIo;
        const char* url;
        const char* domain;
        bool secure;
        const char* thread;
        const char* outcome;
    } cases[] = {
        {true, "http://game.test/play", "game.test", false, "io", "set"},
        {true, "http://www.game.test/", ".game.test", false, "io", "set"},
        {true, "http://game.test/", "", false, "io", "set"},
        {true, "https://game.test/", "game.test", true, "io", "set"},
        {true, "http://game.test/", "game.test", true, "io", "refused"},
        {true, "http://game.test/", "other.test", false, "io", "refused"},
        {true, "http://agame.test/", "game.test", false, "io", "refused"},
        {true, "", "game.test", false, "io", "refused"},
        {true, "/relative", "game.test", false, "io", "refused"},
        {true, "about:blank", "", false, "io", "refused"},
        {false, "http://game.test/", "game.test", false, "wrong-thread", "refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.url) + " " + c.domain);
        RecordCursor records;
        CefCookie cookie;
        cookie.name = "plover";
        cookie.value = "1";
        cookie.domain = c.domain;
        cookie.path = "/";
        cookie.secure = c.secure;
        CefRefPtr<CompletionProbe> probe = new CompletionProbe();
        bool result = false;
        auto set = [&] {
            result =
                CefCookieManager::GetGlobalManager(nullptr)->SetCookie(c.url, cookie, probe.get());
        };
        if (c.onIo) {
            ASSERT_TRUE(RunOn(TID_IO, set));
        } else {
            set();
        }
        EXPECT_EQ(result, std::string(c.outcome) == "set");
        ASSERT_TRUE(PumpUntil([&] { return probe->done.load(); }));
        EXPECT_TRUE(probe->onIo);
        EXPECT_EQ(probe->result, result);
        cef_testing::Record record;
        ASSERT_TRUE(records.WaitFor("cookie", 0, &record));
        ASSERT_EQ(record.fields.size(), 10u);
        EXPECT_EQ(CefString(record.fields[0]).ToString(), c.url);
        EXPECT_EQ(record.fields[1], u"plover");
        EXPECT_EQ(CefString(record.fields[8]).ToString(), c.thread);
        EXPECT_EQ(CefString(record.fields[9]).ToString(), c.outcome);
    }
}

}  // namespace

// A child: a callback that insists on the UI thread, called from the main thread.
int WrongThreadChild() {
    CefSettings settings;
    settings.multi_threaded_message_loop = true;
    if (!cef_initialize(CefMainArgs(), settings, new TestApp(), nullptr)) return 3;
    REQUIRE_UI_THREAD();
    cef_shutdown();
    return 0;
}
