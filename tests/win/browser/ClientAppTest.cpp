// ClientApp: the switches of every process, the sub-process split and the
// browsers it creates for host windows.
#include "BrowserTest.h"
#include "cef/CefCommandLine.h"
#include "cef/CefTask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

const CefString kWebSecurity("--disable-web-security");
const CefString kGpuCompositing("--disable-gpu-compositing");

std::vector<size_t> Positions(CefRefPtr<CefCommandLine> commandLine, const CefString& arg) {
    std::vector<size_t> found;
    const std::vector<CefString> argv = commandLine->GetArgv();
    for (size_t i = 0; i < argv.size(); ++i) {
        if (argv[i] == arg) found.push_back(i);
    }
    return found;
}

CefRefPtr<CefCommandLine> Parse(const CefString& text) {
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::CreateCommandLine();
    commandLine->InitFromString(text);
    return commandLine;
}

// Both switches present, web security's first.
void ExpectSwitchesInOrder(CefRefPtr<CefCommandLine> commandLine) {
    ASSERT_TRUE(commandLine);
    const auto security = Positions(commandLine, kWebSecurity);
    const auto compositing = Positions(commandLine, kGpuCompositing);
    ASSERT_FALSE(security.empty()) << commandLine->GetCommandLineString().ToString();
    ASSERT_FALSE(compositing.empty()) << commandLine->GetCommandLineString().ToString();
    EXPECT_LT(security.back(), compositing.back());
}

// ---- A child process of this executable -----------------------------------

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct ShownWindows {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectShownWindow(HWND window, LPARAM param) {
    auto* shown = reinterpret_cast<ShownWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    const bool known =
        std::find(shown->windows->begin(), shown->windows->end(), window) != shown->windows->end();
    if (owner == shown->processId && IsWindowVisible(window) && !known) {
        shown->windows->push_back(window);
    }
    return TRUE;
}

struct ChildRun {
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
    std::vector<HWND> shownWindows;
};

// Runs this executable with `arguments`, looking for visible windows of it
// while it runs. (Wine delivers no out-of-context window events from other
// processes, so the windows are polled; a window that blocks, such as a
// message box, keeps the process from ending and fails the run too.)
ChildRun RunSelf(const std::wstring& arguments) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ChildRun run;
    if (!CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return run;
    }
    UniqueHandle process(info.hProcess), thread(info.hThread);
    ShownWindows shown{info.dwProcessId, &run.shownWindows};
    run.ended = PumpUntil([&] {
        EnumWindows(CollectShownWindow, reinterpret_cast<LPARAM>(&shown));
        return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
    });
    if (!run.ended) TerminateProcess(process.get(), 1);
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

// Makes the client handler of `app` late, as a slow engine UI thread would.
class LateContext : public CefTask {
public:
    explicit LateContext(CefRefPtr<ClientApp> app) : m_app(app) {}
    void Execute() override {
        Sleep(200);
        m_app->OnContextInitialized();
    }

private:
    CefRefPtr<ClientApp> m_app;
    IMPLEMENT_REFCOUNTING(LateContext);
};

std::wstring TempFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// ---- Switches --------------------------------------------------------------

TEST(ClientAppCommandLine, AppendsBothSwitchesInEveryProcessTypeEvenWhenPresent) {
    struct Case {
        const char* processType;
        const char* commandLine;
    };
    const Case cases[] = {
        {"", "client.exe"},
        {"renderer", "client.exe --type=renderer"},
        {"gpu-process", "client.exe --type=gpu-process --disable-web-security"},
        {"utility", "client.exe --type=utility --disable-web-security --disable-gpu-compositing"},
    };
    CefRefPtr<ClientApp> app = new ClientApp();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        CefRefPtr<CefCommandLine> commandLine = Parse(c.commandLine);
        std::vector<CefString> before = commandLine->GetArgv();
        app->OnBeforeCommandLineProcessing(c.processType, commandLine);
        std::vector<CefString> after = commandLine->GetArgv();
        ASSERT_EQ(after.size(), before.size() + 2);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
        EXPECT_EQ(after[before.size()], kWebSecurity);
        EXPECT_EQ(after[before.size() + 1], kGpuCompositing);
    }
}

TEST_F(BrowserTest, BrowserProcessCommandLineCarriesBothSwitches) {
    ExpectSwitchesInOrder(CefCommandLine::GetGlobalCommandLine());
}

TEST_F(BrowserTest, RenderProcessCommandLineCarriesBothSwitches) {
    EngineRecords all(EngineRecords::kFromEngineStart);
    const auto started = all.WaitFor("render-started");
    ASSERT_FALSE(started.empty());
    for (const auto& record : started) {
        ASSERT_GE(record.fields.size(), 2u);
        ExpectSwitchesInOrder(Parse(record.fields[1]));
    }
}

// ---- Sub-processes ----------------------------------------------------------

TEST_F(BrowserTest, GpuSubProcessEndsWithZeroWithoutWindowAndTheBrowserGoesOn) {
    const ChildRun run = RunSelf(L"--type=gpu-process");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.shownWindows.empty());
    SyncUi();
}

TEST_F(BrowserTest, SubProcessAppendsSwitchesItAlreadyHas) {
    const std::wstring report = TempFile(L"ashgrove_subprocess_cmdline.txt");
    DeleteFileW(report.c_str());
    const ChildRun run = RunSelf(
        L"--type=gpu-process --disable-web-security --disable-gpu-compositing "
        L"--report-command-line=\"" +
        report + L"\"");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    const std::string text = ReadFile(report);
    ASSERT_FALSE(text.empty()) << "the sub-process did not report its command line";
    CefRefPtr<CefCommandLine> commandLine = Parse(text);
    EXPECT_EQ(Positions(commandLine, kWebSecurity).size(), 2u) << text;
    EXPECT_EQ(Positions(commandLine, kGpuCompositing).size(), 2u) << text;
    ExpectSwitchesInOrder(commandLine);
    DeleteFileW(report.c_str());
}

// ---- Browsers for host windows ------------------------------------------------

TEST_F(BrowserTest, BrowserRequestedRightAfterEngineStartReportsToItsHost) {
    const HostMessage& arrival = Arrival();
    ASSERT_EQ(arrival.message, WM_BROWSER_AFTERCREATED);
    EXPECT_TRUE(arrival.crossThread);
    EXPECT_EQ(static_cast<int>(arrival.wParam), m_id);
    EXPECT_EQ(arrival.browserId, m_id);
    EXPECT_EQ(GetParent(m_browser->GetHost()->GetWindowHandle()), Host().Window());
}

TEST_F(BrowserTest, BrowserRequestedBeforeTheClientHandlerExistsStillReportsToItsHost) {
    CefRefPtr<ClientApp> app = new ClientApp();
    ASSERT_TRUE(CefPostTask(TID_UI, new LateContext(app)));
    TestHost host;
    const RECT rect = {0, 0, 200, 100};
    ASSERT_TRUE(app->CreateBrowser(host.Window(), rect, L"about:blank"));
    EXPECT_TRUE(PumpUntil([&] { return host.Browser() != nullptr; }));
    host.ReleaseBrowser();
}

TEST_F(BrowserTest, CreateBrowserMakesAChildWindowFillingTheRectangle) {
    struct Case {
        RECT rect;
        const wchar_t* url;
        const char16_t* expectedUrl;
    };
    const Case cases[] = {
        {{10, 20, 330, 260}, L"about:blank", u"about:blank"},
        {{0, 0, 0, 0}, L"about:blank", u"about:blank"},
        {{0, 0, 120, 80}, nullptr, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CefString(c.expectedUrl).ToString());
        TestHost host;
        ASSERT_TRUE(App().CreateBrowser(host.Window(), c.rect, c.url));
        ASSERT_TRUE(PumpUntil([&] { return host.Browser() != nullptr; }));
        const int id = host.Browser()->GetIdentifier();
        HWND window = host.Browser()->GetHost()->GetWindowHandle();
        EXPECT_EQ(GetParent(window), host.Window());
        const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style, style);
        RECT placed;
        GetWindowRect(window, &placed);
        MapWindowPoints(HWND_DESKTOP, host.Window(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, c.rect.left);
        EXPECT_EQ(placed.top, c.rect.top);
        EXPECT_EQ(placed.right - placed.left, c.rect.right - c.rect.left);
        EXPECT_EQ(placed.bottom - placed.top, c.rect.bottom - c.rect.top);
        const auto created = m_records.WaitFor("browser-created", id);
        ASSERT_EQ(created.size(), 1u);
        ASSERT_GE(created[0].fields.size(), 3u);
        EXPECT_EQ(CefString(created[0].fields[1]).ToString(),
                  std::to_string(reinterpret_cast<uintptr_t>(host.Window())));
        EXPECT_EQ(created[0].fields[2], c.expectedUrl);
        host.ReleaseBrowser();
    }
}
