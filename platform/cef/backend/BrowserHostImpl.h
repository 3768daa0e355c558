// A browser in the browser process, and its host side (one object, as the
// engine's own browsers are). It owns the browser's state (frames, address,
// title, history, render process) behind a lock of its own, so any thread
// may read it; every event reaches the client on the UI thread, and work
// asked for on other threads is posted there.
#pragma once

#include "cef/CefClient.h"
#include "cef/CefTask.h"
#include "cef/backend/FrameImpl.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cefimpl {

class RenderProcessHost;

class BrowserHostImpl : public CefBrowser, public CefBrowserHost {
public:
    BrowserHostImpl(int id, bool isPopup, const CefWindowInfo& windowInfo,
                    CefRefPtr<CefClient> client, const CefBrowserSettings& settings);

    int Id() const { return m_id; }
    bool IsClosed();
    HWND Window();
    CefString Title();
    CefString MainUrl();
    int FocusedFrameIndex();
    void Record(const std::string& kind, std::vector<std::u16string> fields);
    // Posts work for this browser to an engine thread; false when it is not
    // running.
    bool PostTo(CefThreadId thread, std::function<void(BrowserHostImpl&)> work,
                long long delayMs = 0);

    // ---- Life (UI thread) ----
    void Create(const CefString& url);
    void AttachWindow(HWND window);
    void OnWindowDestroyed();
    void Close(bool force);
    // At shutdown: the frames let go of the browser (they refer to each other).
    void ReleaseFrames();

    // ---- Navigation ----
    // Any thread: the client's LoadURL.
    void RequestLoad(int frameIndex, const CefString& url);
    // UI thread: asks the client, then lets the backend load.
    void Navigate(int frameIndex, const CefString& url, bool isReload);

    // ---- State the backend keeps (UI thread) ----
    CefRefPtr<FrameImpl> FrameAt(int index);
    // The main frame and `count - 1` sub-frames "frame1", "frame2"...
    std::vector<CefRefPtr<FrameImpl>> SetFrameCount(int count);
    void SetFocusedFrame(int index);
    void SetTitle(const CefString& title);
    void Repaint();

    // ---- Events to the client (UI thread) ----
    void NotifyAddressChange(CefRefPtr<FrameImpl> frame, const CefString& url);
    void NotifyTitleChange(const CefString& title);
    void NotifyStatus(const CefString& text);
    void NotifyLoadingState(bool loading, bool canGoBack, bool canGoForward);
    void NotifyLoadStart(CefRefPtr<FrameImpl> frame);
    void NotifyLoadEnd(CefRefPtr<FrameImpl> frame, int httpStatus);
    void NotifyLoadError(CefRefPtr<FrameImpl> frame, int errorCode, const CefString& url);
    // Channel thread: what the client made callable in a frame's new context.
    void OnGlobalFunctions(int frameIndex, std::vector<CefString> names);
    // Channel thread: a message from the render process, for the UI thread.
    void DeliverProcessMessage(CefRefPtr<CefProcessMessage> message);

    // ---- Render process ----
    // UI thread: a render process runs (a new one if the last has ended).
    bool EnsureRenderProcess();
    std::shared_ptr<RenderProcessHost> Render();
    bool HasLiveRender();
    // UI thread: writes a frame to the render process now.
    bool SendToRender(const std::string& frame);
    // UI thread: the frame's new script context, in the render process.
    void SendContextCreated(CefRefPtr<FrameImpl> frame);

    CefRefPtr<CefClient> Client() { return m_client; }
    CefRefPtr<CefLoadHandler> LoadHandler();
    CefRefPtr<CefDisplayHandler> DisplayHandler();
    CefRefPtr<CefLifeSpanHandler> LifeSpanHandler();
    CefRefPtr<CefRequestHandler> RequestHandler();
    const CefBrowserSettings& Settings() const { return m_settings; }

    // ---- CefBrowser ----
    CefRefPtr<CefBrowserHost> GetHost() override { return this; }
    int GetIdentifier() override { return m_id; }
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    bool IsPopup() override { return m_isPopup; }
    bool IsLoading() override;
    bool CanGoBack() override;
    bool CanGoForward() override;
    void Reload() override;
    void ReloadIgnoreCache() override;
    CefRefPtr<CefFrame> GetMainFrame() override;
    CefRefPtr<CefFrame> GetFocusedFrame() override;
    size_t GetFrameCount() override;
    bool SendProcessMessage(CefProcessId targetProcess,
                            CefRefPtr<CefProcessMessage> message) override;

    // ---- CefBrowserHost ----
    CefRefPtr<CefBrowser> GetBrowser() override { return this; }
    HWND GetWindowHandle() override { return Window(); }
    void SetFocus(bool focus) override;
    void CloseBrowser(bool forceClose) override;

private:
    void ReloadFrom(const char* kind);

    const int m_id;
    const bool m_isPopup;
    const CefWindowInfo m_windowInfo;
    const CefRefPtr<CefClient> m_client;
    const CefBrowserSettings m_settings;

    std::mutex m_mutex;
    HWND m_window = nullptr;
    bool m_closed = false;
    std::vector<CefRefPtr<FrameImpl>> m_frames;
    int m_focusedFrame = -1;
    CefString m_title;
    bool m_loading = false;
    std::vector<CefString> m_history;
    size_t m_historyIndex = 0;
    std::shared_ptr<RenderProcessHost> m_render;

    IMPLEMENT_REFCOUNTING(BrowserHostImpl);
};

}  // namespace cefimpl
