// The backend is chosen once per process: the switch, then the environment,
// then the default (Chromium when it can be found, else the test backend,
// said on stderr). The automation channel listens only when asked to.
#include "ChildProcess.h"
#include "EngineChildren.h"
#include "TestApp.h"

#include "cef/CefProcess.h"
#include "cef/backend/chromium/ChromiumProcess.h"

#include <gtest/gtest.h>
#include <winsock2.h>
#include <iphlpapi.h>

#include <cstdio>
#include <set>
#include <vector>

namespace {

// The machine's listening TCP ports. (Wine does not say which process owns
// a socket, so a child compares the set before and after it starts its engine.)
std::set<u_short> ListeningPorts() {
    ULONG size = 0;
    GetTcpTable(nullptr, &size, FALSE);
    std::vector<char> buffer(size + 4096);
    size = static_cast<ULONG>(buffer.size());
    std::set<u_short> ports;
    if (GetTcpTable(reinterpret_cast<MIB_TCPTABLE*>(buffer.data()), &size, FALSE) != NO_ERROR) {
        return ports;
    }
    auto* table = reinterpret_cast<MIB_TCPTABLE*>(buffer.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        if (table->table[i].dwState == MIB_TCP_STATE_LISTEN) {
            ports.insert(ntohs(static_cast<u_short>(table->table[i].dwLocalPort)));
        }
    }
    return ports;
}

TEST(BackendChoiceTest, SwitchThenEnvironmentThenDefault) {
    // Chromium is used by default when it can be found; the cases follow
    // what this machine has.
    std::string missing;
    const bool found = !cefimpl::chromium::ChromiumProcess::FindBrowser(missing).empty();
    const char* const notice = "using the test backend";
    const char* const chromium = found ? "" : "the Chromium backend cannot start: no Chromium";
    struct Case {
        const wchar_t* switches;
        const wchar_t* environment;  // PLOVER_ENGINE_BACKEND; empty: unset
        bool starts;
        const char* saysOnStderr;
        bool noticeExpected;
    } cases[] = {
        {L"", L"", true, "", !found},
        {L"--engine-backend=test", L"", true, "", false},
        {L"--engine-backend=chromium", L"", found, chromium, false},
        {L"", L"chromium", found, chromium, false},
        {L"", L"test", true, "", false},
        {L"--engine-backend=test", L"chromium", true, "", false},
        {L"--engine-backend=netscape", L"", false, "unknown backend", false},
        {L"--engine-backend=test --single-threaded-loop", L"", false, "multi-threaded", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CefString(std::wstring(c.switches) + L" env " + c.environment).ToString());
        ChildProcess child;
        ASSERT_TRUE(child.Start(std::wstring(L"--engine-test-child=initialize-only ") + c.switches,
                                {{L"PLOVER_ENGINE_BACKEND", c.environment}}));
        ASSERT_EQ(child.Wait(), 0) << child.Errors();
        EXPECT_NE(child.Output().find(c.starts ? "initialized=1" : "initialized=0"),
                  std::string::npos)
            << child.Output();
        EXPECT_NE(child.Errors().find(c.saysOnStderr), std::string::npos) << child.Errors();
        EXPECT_EQ(child.Errors().find(notice) != std::string::npos, c.noticeExpected);
    }
}

TEST(BackendChoiceTest, OnlyTheSwitchOpensTheAutomationChannel) {
    struct Case {
        const wchar_t* switches;
        const char* listeners;
    } cases[] = {
        {L"", "new listeners=0"},
        {L"--engine-automation=0", "new listeners=1"},
    };
    for (const Case& c : cases) {
        ChildProcess child;
        ASSERT_TRUE(child.Start(std::wstring(L"--engine-test-child=initialize-only "
                                             L"--engine-backend=test ") +
                                c.switches));
        ASSERT_EQ(child.Wait(), 0) << child.Errors();
        EXPECT_NE(child.Output().find(c.listeners), std::string::npos) << child.Output();
    }
}

}  // namespace

int InitializeOnlyChild() {
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::GetGlobalCommandLine();
    CefSettings settings;
    settings.multi_threaded_message_loop = !commandLine->HasSwitch("single-threaded-loop");
    std::set<u_short> before = ListeningPorts();
    bool started = cef_initialize(CefMainArgs(), settings, new TestApp(), nullptr);
    int added = 0;
    for (u_short port : ListeningPorts()) added += before.count(port) ? 0 : 1;
    printf("initialized=%d\nnew listeners=%d\n", started ? 1 : 0, added);
    cef_shutdown();
    return 0;
}
