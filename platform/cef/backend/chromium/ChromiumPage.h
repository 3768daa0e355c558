// One browser of the engine as a page of the Chromium it drives: a target
// attached in flat mode on the backend's connection. The page's events come
// on the connection's reader thread and are handed to the engine's UI
// thread, where they reach the client as load, address, title and
// script-context events; its pictures come as screencast frames painted
// into the browser's window, and the window's input goes back as input
// events.
//
// Until the target is attached, what the engine asks of the page waits in
// order and runs once the session exists.
#pragma once

#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/FrameSurface.h"
#include "cef/backend/chromium/DevToolsConnection.h"
#include "cef/backend/chromium/InputMapping.h"
#include "cef/backend/chromium/PageSignal.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cefimpl::chromium {

class ChromiumPage : public std::enable_shared_from_this<ChromiumPage> {
public:
    ChromiumPage(DevToolsConnection& connection, CefRefPtr<BrowserHostImpl> browser);
    ~ChromiumPage();

    // UI thread: makes the target, sized as the browser's window.
    void Open();
    // UI thread: closes the target; nothing of the page reaches the
    // browser afterwards.
    void Close();
    const std::string& TargetId() const { return m_targetId; }

    // UI thread.
    void Navigate(int frameIndex, const std::string& url);
    void Resize(int width, int height);
    void Paint(HDC dc, const RECT& client);
    bool HandleInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OfferFunctions(int frameIndex, const std::vector<std::u16string>& names);
    // Any thread: what the browser says of its target.
    void TargetInfoChanged(const std::string& title, const std::string& url);
    // Any thread: the browser is gone; the page says so until reloaded.
    void BrowserLost();

private:
    using Json = nlohmann::json;

    // ---- Session (any thread) ----
    void Attached(const std::string& sessionId);
    // Commands for the page wait, in order, until it is attached and set up.
    struct Pending {
        std::string method;
        Json params;
        CdpSession::ResponseHandler onResponse;
    };
    void SendNow(const std::string& sessionId, Pending command);
    void Send(const std::string& method, const Json& params = Json::object(),
              CdpSession::ResponseHandler onResponse = {});
    void Subscribe();
    void On(const std::string& method, std::function<void(ChromiumPage&, const Json&)> handler);
    // Runs `work` on the UI thread while the page is open.
    void OnUi(std::function<void(ChromiumPage&)> work);

    // ---- Events (UI thread) ----
    void FrameStartedLoading(const std::string& frameId);
    void FrameStoppedLoading(const std::string& frameId);
    void ContextCreated(const Json& context);
    void ContextDestroyed(int contextId);
    void BindingCalled(int contextId, const std::string& payload);
    void DocumentRequest(const Json& params);
    void DocumentResponse(const Json& params);
    void DocumentFailed(const Json& params);
    void DialogOpening(const Json& params);
    void Crashed();
    void ScreencastFrame(const Json& params);  // reader thread

    // ---- Frames (UI thread) ----
    // A frame's new document: its address, and the frames it drops.
    CefRefPtr<FrameImpl> Commit(const std::string& frameId);
    // The engine's frame for a Chromium frame id, made when new.
    CefRefPtr<FrameImpl> FrameFor(const std::string& frameId, bool create);
    int FrameIndexOf(int contextId) const;
    std::string FrameIdAt(int index) const;
    void SetNotice(const std::wstring& notice);

    // ---- Input (UI thread) ----
    void SendMouse(const MouseEventParams& event);
    void SendKey(const KeyEventParams& event);
    bool TakeImeResult(HWND window);

    DevToolsConnection& m_connection;
    CefRefPtr<BrowserHostImpl> m_browser;
    FrameSurface m_surface;

    // Touched by the reader thread and the UI thread.
    mutable std::mutex m_lock;
    std::string m_targetId;
    std::string m_sessionId;
    bool m_closed = false;
    bool m_ready = false;
    std::vector<Pending> m_waiting;
    std::vector<CdpSession::HandlerId> m_handlers;
    std::wstring m_notice;

    // UI thread only.
    std::string m_mainFrameId;
    std::vector<std::string> m_frameIds;               // by the engine's frame index
    std::map<int, std::string> m_contextFrames;        // default context id -> frame id
    std::map<std::string, std::string> m_requests;     // document request id -> frame id
    std::map<std::string, std::string> m_requestUrls;  // document request id -> address
    std::map<std::string, std::string> m_navigating;   // frame id -> where it goes
    std::map<std::string, int> m_statuses;             // frame id -> its document's status
    std::vector<std::u16string> m_functions;           // what every new document gets
    std::string m_functionsScript;                     // its new-document script id
    std::string m_title;
    int m_width = 0;
    int m_height = 0;
    MouseClicks m_clicks;
    CharMemory m_chars;
};

}  // namespace cefimpl::chromium
