// cef_shutdown leaves nothing running: no engine thread, no render process,
// even when it starts while an engine thread waits on the caller. A process
// has one engine life, so a child process lives it.
#include "ChildProcess.h"
#include "EngineChildren.h"
#include "EngineTestSupport.h"
#include "HostWindow.h"
#include "RecordCursor.h"
#include "TestApp.h"

#include "cef/CefProcess.h"
#include "cef/CefTask.h"
#include "cef/CefTesting.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <set>
#include <vector>

namespace {

using cefimpl::UniqueHandle;

int CountThreads() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    return count;
}

class NoTask : public CefTask {
public:
    void Execute() override {}
    IMPLEMENT_REFCOUNTING(NoTask);
};

class Checker {
public:
    void operator()(bool ok, const std::string& what) {
        if (ok) return;
        printf("FAILED: %s\n", what.c_str());
        ++m_failures;
    }
    int Failures() const { return m_failures; }

private:
    int m_failures = 0;
};

TEST(LifecycleTest, NothingOutlivesShutdown) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(L"--engine-test-child=lifecycle"));
    EXPECT_EQ(child.Wait(60000), 0) << child.Output() << child.Errors();
    // Each failure of a render process was one line on stderr.
    EXPECT_NE(child.Errors().find("ended: killed"), std::string::npos) << child.Errors();
    EXPECT_NE(child.Errors().find("bad frame from render process"), std::string::npos)
        << child.Errors();
}

}  // namespace

int LifecycleChild() {
    Checker check;
    int before = CountThreads();
    check(!CefPostTask(TID_UI, new NoTask()), "no UI thread before cef_initialize");
    CefSettings settings;
    settings.multi_threaded_message_loop = true;
    if (!cef_initialize(CefMainArgs(), settings, new TestApp(), nullptr)) {
        printf("FAILED: cef_initialize\n");
        return 1;
    }
    check(CountThreads() > before, "engine threads run");
    std::vector<UniqueHandle> renderProcesses;
    {
        HostWindow host;
        RecordCursor records;
        CefRefPtr<TestClient> clientA = new TestClient(), clientB = new TestClient();
        CefRefPtr<CefBrowser> a = OpenBrowser(clientA, host.Handle(), "http://life.test/a");
        CefRefPtr<CefBrowser> b = OpenBrowser(clientB, host.Handle(), "http://life.test/b");
        check(a && b, "two browsers open");
        if (!a || !b) return 1;
        int idA = a->GetIdentifier(), idB = b->GetIdentifier();
        // A popup window, a killed render process and its replacement, and
        // one ended for sending garbage: all of it must go at shutdown.
        check(cef_testing::RequestPopup(idA, 0, u"http://life.test/popup", u"_blank"), "popup");
        check(clientA->WaitFor("OnAfterCreated", nullptr,
                               [](const ClientEvent& e) { return e.isPopup; }),
              "popup opened");
        check(cef_testing::KillRenderProcess(idA), "kill");
        check(records.WaitFor("render-ended", idA), "killed render process ended");
        a->GetMainFrame()->LoadURL("http://life.test/again");
        check(PumpUntil([&] { return records.Matching("render-started", idA).size() == 2; }),
              "a new render process");
        check(cef_testing::RenderSendsGarbage(idB, cef_testing::kGarbageUnknownType), "garbage");
        check(records.WaitFor("render-ended", idB), "garbage ends the render process");
        check(PumpUntil([&] { return records.Matching("render-started").size() >= 4; }),
              "every render process started");
        for (const cef_testing::Record& started : records.Matching("render-started")) {
            DWORD pid = std::stoul(CefString(started.fields[0]).ToString());
            renderProcesses.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, pid));
        }

        // Shutdown begins while the UI thread waits inside a SendMessageW to
        // this thread, which must keep answering or both wait for ever.
        std::atomic<bool> uiWaiting{false};
        clientA->onLoadEnd = [&] {
            uiWaiting = true;
            host.RunOnOwner([] { Sleep(50); });
        };
        a->GetMainFrame()->LoadURL("http://life.test/last");
        ULONGLONG start = GetTickCount64();
        while (!uiWaiting && GetTickCount64() - start < 10000) Sleep(1);
        check(uiWaiting, "the UI thread waits on the main thread");
        cef_shutdown();
        check(GetTickCount64() - start < 15000, "shutdown in time");
    }
    for (size_t i = 0; i < renderProcesses.size(); ++i) {
        check(!renderProcesses[i] ||
                  WaitForSingleObject(renderProcesses[i].get(), 0) == WAIT_OBJECT_0,
              "render process " + std::to_string(i) + " ended");
    }
    int after = CountThreads();
    check(after == before,
          "threads before " + std::to_string(before) + ", after " + std::to_string(after));
    check(!CefPostTask(TID_UI, new NoTask()) && !CefPostTask(TID_IO, new NoTask()),
          "no engine thread after cef_shutdown");
    CefWindowInfo info;
    check(
        !CefBrowserHost::CreateBrowser(info, nullptr, "about:blank", CefBrowserSettings(), nullptr),
        "no browser after cef_shutdown");
    cef_shutdown();
    check(!cef_initialize(CefMainArgs(), settings, new TestApp(), nullptr),
          "one engine life per process");
    return check.Failures();
}
