// The engine in the browser process: its threads, its backend, its browsers
// and their render processes, from cef_initialize to cef_shutdown. Once per
// process, as the engine it stands in for.
#pragma once

#include "cef/CefProcess.h"
#include "cef/backend/EngineThread.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace cefimpl {

class AutomationServer;
class BrowserHostImpl;
class EngineBackend;
class RenderProcessHost;

class Engine {
public:
    static Engine& Get();

    bool Initialize(const CefSettings& settings, CefRefPtr<CefApp> application);
    void Shutdown();

    bool IsRunning() const { return m_state == kRunning; }
    bool IsTestBackend() const { return IsRunning() && m_testBackend; }
    // Null outside Initialize()..Shutdown().
    EngineBackend* Backend() const { return m_backend.get(); }
    int64_t NextFrameId() { return ++m_lastFrameId; }

    // Any thread. False when the engine does not run or the parent is no window.
    bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                       const CefString& url, const CefBrowserSettings& settings, bool isPopup);
    // Test backend: browsers asked for from now on arrive this much later,
    // as on a loaded machine.
    void DelayBrowsers(int milliseconds) { m_browserDelayMs = milliseconds; }
    // Open browsers only.
    CefRefPtr<BrowserHostImpl> FindBrowser(int id);
    std::vector<int> BrowserIds();
    void OnBrowserClosed(int id);
    // UI thread. Render process hosts stay here until shutdown ends them;
    // those whose channel has ended are let go on the way.
    void TrackRenderHost(std::shared_ptr<RenderProcessHost> host);

private:
    enum State { kIdle, kStarting, kRunning, kStopping, kStopped };

    bool ReadSwitches(const CefSettings& settings, CefRefPtr<CefApp> application);
    // The backend chosen, started; false when a backend asked for by name
    // cannot run.
    bool StartBackend(const CefSettings& settings);
    bool StartAutomation();
    void CloseBrowsersOnUiThread();
    void EndRenderProcesses();

    std::atomic<State> m_state{kIdle};
    std::atomic<int64_t> m_lastFrameId{0};
    std::atomic<int> m_lastBrowserId{0};
    std::atomic<bool> m_testBackend{false};
    std::atomic<int> m_browserDelayMs{0};
    int m_automationPort = -1;
    bool m_wantChromium = false;
    bool m_chromiumExplicit = false;
    bool m_socketsStarted = false;
    CefRefPtr<CefApp> m_application;
    std::unique_ptr<EngineBackend> m_backend;
    std::unique_ptr<AutomationServer> m_automation;
    EngineThread m_uiThread{"UI"};
    EngineThread m_ioThread{"IO"};

    std::mutex m_mutex;
    std::map<int, CefRefPtr<BrowserHostImpl>> m_browsers;
    // Every browser ever made: their frames refer back to them until shutdown.
    std::vector<CefRefPtr<BrowserHostImpl>> m_allBrowsers;
    std::vector<std::shared_ptr<RenderProcessHost>> m_renderHosts;
};

}  // namespace cefimpl
