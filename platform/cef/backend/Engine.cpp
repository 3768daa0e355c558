#include "cef/backend/Engine.h"

#include "cef/backend/AutomationServer.h"
#include "cef/backend/BackendChoice.h"
#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/CommandLineImpl.h"
#include "cef/backend/PumpingWait.h"
#include "cef/backend/RenderProcessHost.h"
#include "cef/backend/TestBackend.h"
#include "cef/backend/ThreadRegistry.h"
#include "cef/backend/chromium/ChromiumBackend.h"

#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace cefimpl {
namespace {

// How long shutdown waits for the UI thread to close the browsers, and for
// render processes to end by themselves before they are ended.
constexpr DWORD kCloseWaitMs = 10000;
constexpr DWORD kRenderQuitWaitMs = 2000;

void Say(const std::string& line) {
    fprintf(stderr, "engine: %s\n", line.c_str());
    fflush(stderr);
}

// "--engine-automation=<port>": a decimal port, 0 for any free one.
bool ParsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    port = atoi(text.c_str());
    return port <= 65535;
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, path);
    return length > 0 && length <= MAX_PATH ? std::wstring(path, length) : std::wstring(L".\\");
}

}  // namespace

Engine& Engine::Get() {
    // Never destroyed: nothing of the engine may run during static destruction.
    static Engine* engine = new Engine();
    return *engine;
}

// ---- Start -----------------------------------------------------------------------

bool Engine::Initialize(const CefSettings& settings, CefRefPtr<CefApp> application) {
    State expected = kIdle;
    if (!m_state.compare_exchange_strong(expected, kStarting)) return false;
    if (!ReadSwitches(settings, application)) {
        m_state = kIdle;
        return false;
    }
    m_application = application;
    if (!StartBackend(settings)) {
        m_state = kIdle;
        return false;
    }
    bool started = m_ioThread.Start() && m_uiThread.Start();
    ThreadRegistry::Register(TID_IO, &m_ioThread);
    ThreadRegistry::Register(TID_UI, &m_uiThread);
    if (!started || (m_automationPort >= 0 && !StartAutomation())) {
        if (!started) Say("the engine threads could not start");
        m_state = kRunning;
        Shutdown();
        return false;
    }
    m_state = kRunning;
    CefRefPtr<CefBrowserProcessHandler> handler =
        application ? application->GetBrowserProcessHandler() : nullptr;
    if (handler) ThreadRegistry::Post(TID_UI, [handler] { handler->OnContextInitialized(); });
    return true;
}

bool Engine::ReadSwitches(const CefSettings& settings, CefRefPtr<CefApp> application) {
    CefRefPtr<CefCommandLineImpl> commandLine = CefCommandLineImpl::Global();
    if (settings.command_line_args_disabled) {
        commandLine->InitFromString(L"\"" + commandLine->GetProgram().ToWString() + L"\"");
    }
    if (application) application->OnBeforeCommandLineProcessing(CefString(), commandLine.get());
    BackendChoice choice = BackendChoice::Decide(commandLine.get());
    if (choice.kind == BackendChoice::kUnknown) {
        Say("unknown backend \"" + choice.name + "\" (known: test, chromium)");
        return false;
    }
    m_wantChromium = choice.kind == BackendChoice::kChromium || !choice.chosenExplicitly;
    m_chromiumExplicit = choice.chosenExplicitly;
    if (!settings.multi_threaded_message_loop) {
        Say("only the multi-threaded message loop is supported");
        return false;
    }
    m_automationPort = -1;
    if (commandLine->HasSwitch("engine-automation")) {
        std::string value = commandLine->GetSwitchValue("engine-automation").ToString();
        if (!ParsePort(value, m_automationPort)) {
            Say("bad --engine-automation port \"" + value + "\"");
            return false;
        }
    }
    return true;
}

bool Engine::StartBackend(const CefSettings& settings) {
    m_testBackend = false;
    if (m_wantChromium) {
        std::wstring cacheDir = settings.cache_path.ToWString();
        if (cacheDir.empty()) cacheDir = TempFolder() + L"engine-cache";
        std::string error;
        m_backend = chromium::ChromiumBackend::Start(cacheDir, error);
        if (m_backend) return true;
        if (m_chromiumExplicit) {
            Say("the Chromium backend cannot start: " + error);
            return false;
        }
        Say(error + "; using the test backend");
    }
    m_backend = CreateTestBackend();
    m_testBackend = true;
    return true;
}

bool Engine::StartAutomation() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        Say("sockets do not start; no automation channel");
        return false;
    }
    m_socketsStarted = true;
    m_automation.reset(new AutomationServer());
    return m_automation->Start(m_automationPort);
}

// ---- Browsers -----------------------------------------------------------------------

bool Engine::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                           const CefString& url, const CefBrowserSettings& settings, bool isPopup) {
    if (!IsRunning()) return false;
    if (windowInfo.parent_window && !IsWindow(windowInfo.parent_window)) return false;
    int id = ++m_lastBrowserId;
    CefRefPtr<BrowserHostImpl> browser =
        new BrowserHostImpl(id, isPopup, windowInfo, client, settings);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_browsers[id] = browser;
        m_allBrowsers.push_back(browser);
    }
    if (!browser->PostTo(
            TID_UI, [url](BrowserHostImpl& b) { b.Create(url); }, m_browserDelayMs)) {
        OnBrowserClosed(id);
        return false;
    }
    return true;
}

CefRefPtr<BrowserHostImpl> Engine::FindBrowser(int id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_browsers.find(id);
    return it == m_browsers.end() ? nullptr : it->second;
}

std::vector<int> Engine::BrowserIds() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<int> ids;
    for (const auto& entry : m_browsers) ids.push_back(entry.first);
    return ids;
}

void Engine::OnBrowserClosed(int id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_browsers.erase(id);
}

void Engine::TrackRenderHost(std::shared_ptr<RenderProcessHost> host) {
    std::vector<std::shared_ptr<RenderProcessHost>> ended;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& tracked : m_renderHosts) {
            if (tracked->HasEnded()) ended.push_back(tracked);
        }
        m_renderHosts.erase(std::remove_if(m_renderHosts.begin(), m_renderHosts.end(),
                                           [](auto& h) { return h->HasEnded(); }),
                            m_renderHosts.end());
        m_renderHosts.push_back(host);
    }
    for (auto& old : ended) old->Reap(0);
}

// ---- Shutdown ------------------------------------------------------------------------

void Engine::Shutdown() {
    State expected = kRunning;
    if (!m_state.compare_exchange_strong(expected, kStopping)) return;
    if (m_automation) m_automation->Stop();
    CloseBrowsersOnUiThread();
    m_ioThread.Stop();
    m_uiThread.Stop();
    ThreadRegistry::Unregister(TID_IO);
    ThreadRegistry::Unregister(TID_UI);
    EndRenderProcesses();
    std::vector<CefRefPtr<BrowserHostImpl>> browsers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        browsers.swap(m_allBrowsers);
        m_browsers.clear();
    }
    for (auto& browser : browsers) browser->ReleaseFrames();
    browsers.clear();
    m_automation.reset();
    m_application = nullptr;
    if (m_backend) m_backend->Shutdown();
    m_backend.reset();
    m_testBackend = false;
    if (m_socketsStarted) WSACleanup();
    m_socketsStarted = false;
    m_state = kStopped;
}

void Engine::CloseBrowsersOnUiThread() {
    std::vector<CefRefPtr<BrowserHostImpl>> open;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_browsers) open.push_back(entry.second);
    }
    auto done = std::make_shared<UniqueHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    bool posted = ThreadRegistry::Post(TID_UI, [open, done] {
        for (const auto& browser : open) browser->Close(true);
        SetEvent(done->get());
    });
    // The browser windows are children of the caller's windows: destroying
    // them sends to this thread, so it keeps answering while it waits.
    if (posted && !WaitPumpingSentMessages(done->get(), kCloseWaitMs)) {
        Say("the UI thread did not close the browsers in time");
    }
}

void Engine::EndRenderProcesses() {
    std::vector<std::shared_ptr<RenderProcessHost>> hosts;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        hosts.swap(m_renderHosts);
    }
    for (auto& host : hosts) host->RequestQuit();
    ULONGLONG deadline = GetTickCount64() + kRenderQuitWaitMs;
    for (auto& host : hosts) {
        ULONGLONG now = GetTickCount64();
        DWORD remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        if (host->Process()) WaitPumpingSentMessages(host->Process(), remaining);
        host->Reap(0);
    }
}

}  // namespace cefimpl
