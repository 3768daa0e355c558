#include "cef/backend/BrowserHostImpl.h"

#include "cef/backend/BrowserWindow.h"
#include "cef/backend/Engine.h"
#include "cef/backend/EngineBackend.h"
#include "cef/backend/RecordLog.h"
#include "cef/backend/RenderProcessHost.h"
#include "cef/backend/RequestImpl.h"
#include "cef/backend/ThreadRegistry.h"
#include "cef/backend/WireValues.h"

#include <algorithm>
#include <cstdio>

namespace cefimpl {
namespace {

std::u16string Decimal(long long value) {
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

CefString ErrorText(int code) {
    switch (code) {
        case ERR_FAILED:
            return "net::ERR_FAILED";
        case ERR_ABORTED:
            return "net::ERR_ABORTED";
        case ERR_CONNECTION_REFUSED:
            return "net::ERR_CONNECTION_REFUSED";
        case ERR_NAME_NOT_RESOLVED:
            return "net::ERR_NAME_NOT_RESOLVED";
        default:
            return "net::error " + std::to_string(code);
    }
}

}  // namespace

BrowserHostImpl::BrowserHostImpl(int id, bool isPopup, const CefWindowInfo& windowInfo,
                                 CefRefPtr<CefClient> client, const CefBrowserSettings& settings)
    : m_id(id),
      m_isPopup(isPopup),
      m_windowInfo(windowInfo),
      m_client(client),
      m_settings(settings) {
    m_frames.push_back(new FrameImpl(this, 0, Engine::Get().NextFrameId(), CefString()));
}

bool BrowserHostImpl::IsClosed() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed;
}

HWND BrowserHostImpl::Window() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_window;
}

CefString BrowserHostImpl::Title() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_title;
}

CefString BrowserHostImpl::MainUrl() {
    CefRefPtr<FrameImpl> main = FrameAt(0);
    return main ? main->GetURL() : CefString();
}

int BrowserHostImpl::FocusedFrameIndex() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_focusedFrame >= 0 ? m_focusedFrame : 0;
}

void BrowserHostImpl::Record(const std::string& kind, std::vector<std::u16string> fields) {
    RecordLog::Add(m_id, kind, std::move(fields));
}

bool BrowserHostImpl::PostTo(CefThreadId thread, std::function<void(BrowserHostImpl&)> work,
                             long long delayMs) {
    CefRefPtr<BrowserHostImpl> self(this);
    return ThreadRegistry::Post(
        thread, [self, work] { work(*self); }, delayMs);
}

// ---- Life ---------------------------------------------------------------------

void BrowserHostImpl::Create(const CefString& url) {
    HWND window = BrowserWindow::Create(*this, m_windowInfo, m_isPopup);
    if (!window) {
        DWORD error = GetLastError();
        fprintf(stderr, "engine: browser %d: its window could not be created (error %lu)\n", m_id,
                error);
        fflush(stderr);
        Record("browser-failed", {Decimal(error)});
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closed = true;
        }
        Engine::Get().OnBrowserClosed(m_id);
        return;
    }
    Record("browser-created",
           {Decimal(m_id), Decimal(reinterpret_cast<intptr_t>(m_windowInfo.parent_window)),
            url.ToString16()});
    EnsureRenderProcess();
    if (EngineBackend* backend = Engine::Get().Backend()) backend->BrowserCreated(*this);
    if (CefRefPtr<CefLifeSpanHandler> handler = LifeSpanHandler()) handler->OnAfterCreated(this);
    if (!url.empty()) Navigate(0, url, false);
}

void BrowserHostImpl::AttachWindow(HWND window) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = window;
}

void BrowserHostImpl::OnWindowDestroyed() {
    std::shared_ptr<RenderProcessHost> render;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_window = nullptr;
        if (m_closed) return;
        m_closed = true;
        render = m_render;
    }
    // Leave the engine's list first, so whoever hears OnBeforeClose finds the
    // browser gone; the local reference keeps it alive through the callback.
    CefRefPtr<BrowserHostImpl> self(this);
    Engine::Get().OnBrowserClosed(m_id);
    if (EngineBackend* backend = Engine::Get().Backend()) backend->BrowserClosed(*this);
    if (CefRefPtr<CefLifeSpanHandler> handler = LifeSpanHandler()) handler->OnBeforeClose(this);
    Record("browser-closed", {});
    if (render) render->RequestQuit();
}

void BrowserHostImpl::Close(bool force) {
    if (IsClosed()) return;
    CefRefPtr<CefLifeSpanHandler> handler = LifeSpanHandler();
    // True from DoClose: the client closes the window itself.
    if (!force && handler && handler->DoClose(this)) return;
    if (HWND window = Window()) {
        DestroyWindow(window);
    } else {
        OnWindowDestroyed();
    }
}

void BrowserHostImpl::ReleaseFrames() {
    std::vector<CefRefPtr<FrameImpl>> frames;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        frames.swap(m_frames);
    }
    for (auto& frame : frames) frame->Detach();
}

// ---- Navigation -----------------------------------------------------------------

void BrowserHostImpl::RequestLoad(int frameIndex, const CefString& url) {
    Record("load-url", {url.ToString16()});
    PostTo(TID_UI, [frameIndex, url](BrowserHostImpl& b) { b.Navigate(frameIndex, url, false); });
}

void BrowserHostImpl::Navigate(int frameIndex, const CefString& url, bool isReload) {
    CefRefPtr<FrameImpl> frame = FrameAt(frameIndex);
    EngineBackend* backend = Engine::Get().Backend();
    if (IsClosed() || !frame || !backend) return;
    bool cancel = false;
    if (CefRefPtr<CefRequestHandler> handler = RequestHandler()) {
        cancel = handler->OnBeforeBrowse(this, frame.get(), new CefRequestImpl(url, "GET"), false);
    }
    Record("navigation", {url.ToString16(), cancel ? u"canceled" : u"allowed"});
    if (cancel) return;
    if (frameIndex == 0 && !isReload) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_history.empty()) m_history.resize(m_historyIndex + 1);
        m_history.push_back(url);
        m_historyIndex = m_history.size() - 1;
    }
    EnsureRenderProcess();
    backend->Navigate(*this, frameIndex, url);
}

// ---- State ------------------------------------------------------------------------

CefRefPtr<FrameImpl> BrowserHostImpl::FrameAt(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_frames.size())) return nullptr;
    return m_frames[index];
}

std::vector<CefRefPtr<FrameImpl>> BrowserHostImpl::SetFrameCount(int count) {
    std::vector<CefRefPtr<FrameImpl>> dropped;
    std::vector<CefRefPtr<FrameImpl>> frames;
    CefString mainUrl = MainUrl();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_frames.empty()) return frames;  // released at shutdown
        size_t wanted = static_cast<size_t>(std::max(1, count));
        while (m_frames.size() > wanted) {
            dropped.push_back(m_frames.back());
            m_frames.pop_back();
        }
        while (m_frames.size() < wanted) {
            int index = static_cast<int>(m_frames.size());
            CefRefPtr<FrameImpl> frame = new FrameImpl(this, index, Engine::Get().NextFrameId(),
                                                       "frame" + std::to_string(index));
            frame->SetUrl(mainUrl);
            m_frames.push_back(frame);
        }
        if (m_focusedFrame >= static_cast<int>(wanted)) m_focusedFrame = -1;
        frames = m_frames;
    }
    for (auto& frame : dropped) frame->Detach();
    return frames;
}

void BrowserHostImpl::SetFocusedFrame(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_focusedFrame = index;
}

void BrowserHostImpl::SetTitle(const CefString& title) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_title = title;
}

void BrowserHostImpl::Repaint() {
    if (HWND window = Window()) InvalidateRect(window, nullptr, TRUE);
}

// ---- Events to the client -----------------------------------------------------------

CefRefPtr<CefLoadHandler> BrowserHostImpl::LoadHandler() {
    return m_client ? m_client->GetLoadHandler() : nullptr;
}
CefRefPtr<CefDisplayHandler> BrowserHostImpl::DisplayHandler() {
    return m_client ? m_client->GetDisplayHandler() : nullptr;
}
CefRefPtr<CefLifeSpanHandler> BrowserHostImpl::LifeSpanHandler() {
    return m_client ? m_client->GetLifeSpanHandler() : nullptr;
}
CefRefPtr<CefRequestHandler> BrowserHostImpl::RequestHandler() {
    return m_client ? m_client->GetRequestHandler() : nullptr;
}

void BrowserHostImpl::NotifyAddressChange(CefRefPtr<FrameImpl> frame, const CefString& url) {
    if (CefRefPtr<CefDisplayHandler> handler = DisplayHandler()) {
        handler->OnAddressChange(this, frame.get(), url);
    }
    if (frame->IsMain()) Repaint();
}

void BrowserHostImpl::NotifyTitleChange(const CefString& title) {
    if (CefRefPtr<CefDisplayHandler> handler = DisplayHandler())
        handler->OnTitleChange(this, title);
    Repaint();
}

void BrowserHostImpl::NotifyStatus(const CefString& text) {
    if (CefRefPtr<CefDisplayHandler> handler = DisplayHandler()) {
        handler->OnStatusMessage(this, text);
    }
}

void BrowserHostImpl::NotifyLoadingState(bool loading, bool canGoBack, bool canGoForward) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_loading = loading;
    }
    if (CefRefPtr<CefLoadHandler> handler = LoadHandler()) {
        handler->OnLoadingStateChange(this, loading, canGoBack, canGoForward);
    }
}

void BrowserHostImpl::NotifyLoadStart(CefRefPtr<FrameImpl> frame) {
    if (CefRefPtr<CefLoadHandler> handler = LoadHandler()) handler->OnLoadStart(this, frame.get());
}

void BrowserHostImpl::NotifyLoadEnd(CefRefPtr<FrameImpl> frame, int httpStatus) {
    if (CefRefPtr<CefLoadHandler> handler = LoadHandler()) {
        handler->OnLoadEnd(this, frame.get(), httpStatus);
    }
}

void BrowserHostImpl::NotifyLoadError(CefRefPtr<FrameImpl> frame, int errorCode,
                                      const CefString& url) {
    if (CefRefPtr<CefLoadHandler> handler = LoadHandler()) {
        handler->OnLoadError(this, frame.get(), static_cast<ErrorCode>(errorCode),
                             ErrorText(errorCode), url);
    }
}

void BrowserHostImpl::OnGlobalFunctions(int frameIndex, std::vector<CefString> names) {
    PostTo(TID_UI, [frameIndex, names](BrowserHostImpl& b) {
        if (EngineBackend* backend = Engine::Get().Backend()) {
            backend->GlobalFunctions(b, frameIndex, names);
        }
    });
}

void BrowserHostImpl::DeliverProcessMessage(CefRefPtr<CefProcessMessage> message) {
    std::vector<std::u16string> fields{message->GetName().ToString16()};
    for (auto& field : ListAsFields(message->GetArgumentList())) fields.push_back(field);
    Record("to-browser", std::move(fields));
    PostTo(TID_UI, [message](BrowserHostImpl& b) {
        if (b.m_client) b.m_client->OnProcessMessageReceived(&b, PID_RENDERER, message);
    });
}

// ---- Render process -------------------------------------------------------------------

std::shared_ptr<RenderProcessHost> BrowserHostImpl::Render() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_render;
}

bool BrowserHostImpl::HasLiveRender() {
    std::shared_ptr<RenderProcessHost> render = Render();
    return render && render->IsAlive();
}

bool BrowserHostImpl::EnsureRenderProcess() {
    if (HasLiveRender()) return true;
    EngineBackend* backend = Engine::Get().Backend();
    if (!backend) return false;
    auto host = std::make_shared<RenderProcessHost>(this);
    if (!host->Launch(backend->Name())) {
        host->Reap(0);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_render = host;
    }
    Engine::Get().TrackRenderHost(host);
    return true;
}

bool BrowserHostImpl::SendToRender(const std::string& frame) {
    std::shared_ptr<RenderProcessHost> render = Render();
    return render && render->Send(frame);
}

void BrowserHostImpl::SendContextCreated(CefRefPtr<FrameImpl> frame) {
    WireWriter writer(WireType::kContextCreated);
    writer.I64(frame->GetIdentifier())
        .I32(frame->Index())
        .Str(frame->GetName().ToString16())
        .Bool(frame->IsMain())
        .Str(frame->GetURL().ToString16());
    SendToRender(writer.Frame());
}

// ---- CefBrowser -------------------------------------------------------------------------

bool BrowserHostImpl::IsSame(CefRefPtr<CefBrowser> that) {
    return that && that->GetIdentifier() == m_id;
}

bool BrowserHostImpl::IsLoading() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_loading;
}

bool BrowserHostImpl::CanGoBack() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_historyIndex > 0;
}

bool BrowserHostImpl::CanGoForward() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_historyIndex + 1 < m_history.size();
}

void BrowserHostImpl::Reload() { ReloadFrom("reload"); }

void BrowserHostImpl::ReloadIgnoreCache() { ReloadFrom("reload-ignore-cache"); }

void BrowserHostImpl::ReloadFrom(const char* kind) {
    CefString url = MainUrl();
    Record(kind, {url.ToString16()});
    if (url.empty()) return;
    PostTo(TID_UI, [url](BrowserHostImpl& b) { b.Navigate(0, url, true); });
}

CefRefPtr<CefFrame> BrowserHostImpl::GetMainFrame() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.empty() ? nullptr : m_frames[0].get();
}

CefRefPtr<CefFrame> BrowserHostImpl::GetFocusedFrame() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_frames.empty()) return nullptr;
    bool focused = m_focusedFrame >= 0 && m_focusedFrame < static_cast<int>(m_frames.size());
    return m_frames[focused ? m_focusedFrame : 0].get();
}

size_t BrowserHostImpl::GetFrameCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.size();
}

bool BrowserHostImpl::SendProcessMessage(CefProcessId targetProcess,
                                         CefRefPtr<CefProcessMessage> message) {
    if (targetProcess != PID_RENDERER || !message || IsClosed() || !HasLiveRender()) return false;
    WireWriter writer(WireType::kToRender);
    writer.Str(message->GetName().ToString16());
    WriteList(writer, message->GetArgumentList());
    std::vector<std::u16string> fields{message->GetName().ToString16()};
    for (auto& field : ListAsFields(message->GetArgumentList())) fields.push_back(field);
    Record("to-render", std::move(fields));
    // Through the UI thread, so that it keeps its place among the page
    // events (a new document, a focus change) posted before it.
    std::string frame = writer.Frame();
    return PostTo(TID_UI, [frame](BrowserHostImpl& b) { b.SendToRender(frame); });
}

// ---- CefBrowserHost ----------------------------------------------------------------------

void BrowserHostImpl::SetFocus(bool focus) {
    Record("host-focus", {focus ? u"1" : u"0"});
    PostTo(TID_UI, [focus](BrowserHostImpl& b) {
        HWND window = b.Window();
        if (focus && window) ::SetFocus(window);
    });
}

void BrowserHostImpl::CloseBrowser(bool forceClose) {
    PostTo(TID_UI, [forceClose](BrowserHostImpl& b) { b.Close(forceClose); });
}

}  // namespace cefimpl
