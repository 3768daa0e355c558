#include "cef/backend/chromium/ChromiumPage.h"

#include "cef/backend/JSDialogCallbackImpl.h"
#include "cef/backend/PageEvents.h"
#include "cef/backend/ThreadRegistry.h"
#include "cef/backend/Utf8Codec.h"
#include "cef/backend/WireValues.h"
#include "cef/backend/WireWriter.h"
#include "cef/backend/chromium/Base64.h"
#include "cef/backend/chromium/NetError.h"

#include <imm.h>
#include <windowsx.h>

namespace cefimpl::chromium {
namespace {

// Good enough to read text in, small enough to decode at screen rates.
constexpr int kScreencastQuality = 80;

ModifierKeys CurrentModifiers() {
    ModifierKeys keys;
    keys.alt = GetKeyState(VK_MENU) < 0;
    keys.control = GetKeyState(VK_CONTROL) < 0;
    keys.shift = GetKeyState(VK_SHIFT) < 0;
    keys.meta = GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0;
    keys.capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    return keys;
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
           message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK ||
           message == WM_XBUTTONDBLCLK;
}

bool IsButtonUp(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP ||
           message == WM_XBUTTONUP;
}

CefString Text(const std::string& utf8) { return CefString(FromUtf8(utf8)); }

}  // namespace

ChromiumPage::ChromiumPage(DevToolsConnection& connection, CefRefPtr<BrowserHostImpl> browser)
    : m_connection(connection), m_browser(browser) {}

ChromiumPage::~ChromiumPage() = default;

// ---- Life ---------------------------------------------------------------------------

void ChromiumPage::Open() {
    RECT client = {};
    if (HWND window = m_browser->Window()) GetClientRect(window, &client);
    Resize(client.right, client.bottom);
    Send("Page.startScreencast",
         {{"format", "jpeg"}, {"quality", kScreencastQuality}, {"everyNthFrame", 1}});
    std::weak_ptr<ChromiumPage> weak = shared_from_this();
    m_connection.Command(
        "Target.createTarget", {{"url", "about:blank"}, {"newWindow", true}}, {},
        [weak](const CdpResponse& created) {
            auto self = weak.lock();
            if (!self) return;
            if (!created.ok) {
                self->m_browser->Record("chromium-error", {FromUtf8(created.errorMessage)});
                self->SetNotice(L"The page could not be opened.");
                return;
            }
            std::string targetId = created.result.value("targetId", "");
            {
                std::lock_guard<std::mutex> lock(self->m_lock);
                self->m_targetId = targetId;
            }
            self->m_connection.Command(
                "Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, {},
                [weak](const CdpResponse& attached) {
                    if (auto page = weak.lock()) {
                        page->Attached(attached.result.value("sessionId", ""));
                    }
                });
        });
}

void ChromiumPage::Close() {
    std::vector<CdpSession::HandlerId> handlers;
    std::string targetId, sessionId;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_closed) return;
        m_closed = true;
        handlers.swap(m_handlers);
        targetId = m_targetId;
        sessionId = m_sessionId;
        m_waiting.clear();
    }
    for (CdpSession::HandlerId id : handlers) m_connection.Session().Off(id);
    if (!sessionId.empty()) m_connection.Session().ForgetSession(sessionId);
    if (!targetId.empty()) m_connection.Command("Target.closeTarget", {{"targetId", targetId}});
}

void ChromiumPage::BrowserLost() {
    SetNotice(L"The browser has ended. Reload to bring the page back.");
}

// ---- Session ------------------------------------------------------------------------

void ChromiumPage::Attached(const std::string& sessionId) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_closed || sessionId.empty()) return;
        m_sessionId = sessionId;
    }
    Subscribe();
    // The page's own set-up goes first, before anything asked of it meanwhile.
    SendNow(sessionId, {"Page.enable", Json::object(), {}});
    SendNow(sessionId, {"Network.enable", {{"maxPostDataSize", 0}}, {}});
    SendNow(sessionId, {"Runtime.addBinding", {{"name", std::string(kSignalBinding)}}, {}});
    SendNow(sessionId, {"Page.addScriptToEvaluateOnNewDocument", {{"source", PageScript()}}, {}});
    SendNow(sessionId, {"Runtime.enable", Json::object(), {}});
    for (;;) {
        std::vector<Pending> waiting;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_waiting.empty()) {
                m_ready = true;
                return;
            }
            waiting.swap(m_waiting);
        }
        for (Pending& command : waiting) SendNow(sessionId, std::move(command));
    }
}

void ChromiumPage::Send(const std::string& method, const Json& params,
                        CdpSession::ResponseHandler onResponse) {
    std::string sessionId;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_closed) return;
        if (!m_ready) {
            m_waiting.push_back({method, params, std::move(onResponse)});
            return;
        }
        sessionId = m_sessionId;
    }
    SendNow(sessionId, {method, params, std::move(onResponse)});
}

void ChromiumPage::SendNow(const std::string& sessionId, Pending command) {
    m_connection.Command(command.method, command.params, sessionId, std::move(command.onResponse));
}

void ChromiumPage::On(const std::string& method,
                      std::function<void(ChromiumPage&, const Json&)> handler) {
    std::weak_ptr<ChromiumPage> weak = shared_from_this();
    std::string sessionId;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        sessionId = m_sessionId;
    }
    CdpSession::HandlerId id =
        m_connection.Session().On(method, sessionId, [weak, handler](const Json& params) {
            if (auto self = weak.lock()) handler(*self, params);
        });
    std::lock_guard<std::mutex> lock(m_lock);
    m_handlers.push_back(id);
}

void ChromiumPage::OnUi(std::function<void(ChromiumPage&)> work) {
    std::weak_ptr<ChromiumPage> weak = shared_from_this();
    m_browser->PostTo(TID_UI, [weak, work](BrowserHostImpl&) {
        auto self = weak.lock();
        if (!self) return;
        {
            std::lock_guard<std::mutex> lock(self->m_lock);
            if (self->m_closed) return;
        }
        work(*self);
    });
}

void ChromiumPage::Subscribe() {
    On("Page.screencastFrame", [](ChromiumPage& p, const Json& e) { p.ScreencastFrame(e); });
    auto ui = [this](const char* method, void (ChromiumPage::*handler)(const Json&),
                     const char* field) {
        std::string key = field ? field : "";
        On(method, [handler, key](ChromiumPage& p, const Json& e) {
            Json value = key.empty() ? e : e.value(key, Json::object());
            p.OnUi([handler, value](ChromiumPage& page) { (page.*handler)(value); });
        });
    };
    On("Page.frameStartedNavigating", [](ChromiumPage& p, const Json& e) {
        std::string frameId = e.value("frameId", ""), url = e.value("url", "");
        p.OnUi([frameId, url](ChromiumPage& page) { page.m_navigating[frameId] = url; });
    });
    ui("Runtime.executionContextCreated", &ChromiumPage::ContextCreated, "context");
    ui("Network.requestWillBeSent", &ChromiumPage::DocumentRequest, nullptr);
    ui("Network.responseReceived", &ChromiumPage::DocumentResponse, nullptr);
    ui("Network.loadingFailed", &ChromiumPage::DocumentFailed, nullptr);
    ui("Page.javascriptDialogOpening", &ChromiumPage::DialogOpening, nullptr);
    On("Page.frameStartedLoading", [](ChromiumPage& p, const Json& e) {
        std::string frameId = e.value("frameId", "");
        p.OnUi([frameId](ChromiumPage& page) { page.FrameStartedLoading(frameId); });
    });
    On("Page.frameStoppedLoading", [](ChromiumPage& p, const Json& e) {
        std::string frameId = e.value("frameId", "");
        p.OnUi([frameId](ChromiumPage& page) { page.FrameStoppedLoading(frameId); });
    });
    On("Runtime.executionContextDestroyed", [](ChromiumPage& p, const Json& e) {
        int contextId = e.value("executionContextId", 0);
        p.OnUi([contextId](ChromiumPage& page) { page.ContextDestroyed(contextId); });
    });
    On("Runtime.executionContextsCleared", [](ChromiumPage& p, const Json&) {
        p.OnUi([](ChromiumPage& page) { page.m_contextFrames.clear(); });
    });
    On("Runtime.bindingCalled", [](ChromiumPage& p, const Json& e) {
        if (e.value("name", "") != kSignalBinding) return;
        int contextId = e.value("executionContextId", 0);
        std::string payload = e.value("payload", "");
        p.OnUi(
            [contextId, payload](ChromiumPage& page) { page.BindingCalled(contextId, payload); });
    });
    On("Inspector.targetCrashed",
       [](ChromiumPage& p, const Json&) { p.OnUi([](ChromiumPage& page) { page.Crashed(); }); });
}

// ---- What the engine asks -------------------------------------------------------------

void ChromiumPage::Navigate(int frameIndex, const std::string& url) {
    std::string frameId = frameIndex > 0 ? FrameIdAt(frameIndex) : std::string();
    if (frameIndex > 0 && frameId.empty()) return;
    SetNotice(std::wstring());
    Json params = {{"url", url}};
    if (!frameId.empty()) params["frameId"] = frameId;
    Send("Page.navigate", params);
}

void ChromiumPage::Resize(int width, int height) {
    if (width <= 0 || height <= 0 || (width == m_width && height == m_height)) return;
    m_width = width;
    m_height = height;
    Send("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
}

void ChromiumPage::Paint(HDC dc, const RECT& client) {
    m_surface.Paint(dc, client);
    std::wstring notice;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        notice = m_notice;
    }
    if (notice.empty()) return;
    RECT band = {client.left, client.top, client.right, client.top + 40};
    SetDCBrushColor(dc, RGB(255, 244, 206));
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(90, 60, 0));
    DrawTextW(dc, notice.c_str(), static_cast<int>(notice.size()), &band,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void ChromiumPage::SetNotice(const std::wstring& notice) {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_notice == notice) return;
        m_notice = notice;
    }
    if (HWND window = m_browser->Window()) InvalidateRect(window, nullptr, FALSE);
}

void ChromiumPage::OfferFunctions(int frameIndex, const std::vector<std::u16string>& names) {
    if (names.empty()) return;
    std::string frameId = FrameIdAt(frameIndex);
    const std::string script = FunctionsScript(names);
    for (const auto& entry : m_contextFrames) {
        if (entry.second != frameId) continue;
        Send("Runtime.evaluate", {{"expression", script}, {"contextId", entry.first}});
    }
    if (names == m_functions) return;
    // Later documents get them before their own scripts run.
    m_functions = names;
    if (!m_functionsScript.empty()) {
        Send("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", m_functionsScript}});
        m_functionsScript.clear();
    }
    std::weak_ptr<ChromiumPage> weak = shared_from_this();
    Send("Page.addScriptToEvaluateOnNewDocument", {{"source", script}},
         [weak](const CdpResponse& added) {
             std::string id = added.result.value("identifier", "");
             if (auto self = weak.lock()) {
                 self->OnUi([id](ChromiumPage& page) { page.m_functionsScript = id; });
             }
         });
}

void ChromiumPage::TargetInfoChanged(const std::string& title, const std::string& url) {
    (void)url;
    OnUi([title](ChromiumPage& page) {
        if (title == page.m_title) return;
        page.m_title = title;
        page.m_browser->SetTitle(Text(title));
        page.m_browser->NotifyTitleChange(Text(title));
    });
}

// ---- Frames ---------------------------------------------------------------------------

CefRefPtr<FrameImpl> ChromiumPage::FrameFor(const std::string& frameId, bool create) {
    if (frameId.empty()) return nullptr;
    if (m_frameIds.empty()) m_frameIds.push_back(TargetId());
    size_t index = 0;
    while (index < m_frameIds.size() && m_frameIds[index] != frameId) ++index;
    if (index == m_frameIds.size()) {
        if (!create) return nullptr;
        m_frameIds.push_back(frameId);
        m_browser->SetFrameCount(static_cast<int>(m_frameIds.size()));
    }
    return m_browser->FrameAt(static_cast<int>(index));
}

int ChromiumPage::FrameIndexOf(int contextId) const {
    auto context = m_contextFrames.find(contextId);
    if (context == m_contextFrames.end()) return -1;
    for (size_t i = 0; i < m_frameIds.size(); ++i) {
        if (m_frameIds[i] == context->second) return static_cast<int>(i);
    }
    return -1;
}

std::string ChromiumPage::FrameIdAt(int index) const {
    if (index == 0 && m_frameIds.empty()) return TargetId();
    return index >= 0 && index < static_cast<int>(m_frameIds.size()) ? m_frameIds[index]
                                                                     : std::string();
}

// ---- Events ---------------------------------------------------------------------------

// Chromium reports a new document by its script context; the address is
// the one its navigation went to, after redirects.
CefRefPtr<FrameImpl> ChromiumPage::Commit(const std::string& frameId) {
    std::string url = "about:blank";
    auto navigating = m_navigating.find(frameId);
    if (navigating != m_navigating.end()) {
        url = navigating->second;
        m_navigating.erase(navigating);
    }
    if (frameId == FrameIdAt(0)) {
        // A new main document has none of the old one's frames.
        m_frameIds.assign(1, frameId);
        // Its own response came before it; the old frames' ones are stale.
        auto status = m_statuses.find(frameId);
        int mainStatus = status == m_statuses.end() ? 0 : status->second;
        m_statuses.clear();
        if (mainStatus) m_statuses[frameId] = mainStatus;
        m_browser->SetFrameCount(1);
        m_browser->SetFocusedFrame(-1);
    }
    CefRefPtr<FrameImpl> frame = FrameFor(frameId, true);
    if (!frame) return nullptr;
    frame->SetUrl(Text(url));
    m_browser->NotifyAddressChange(frame, Text(url));
    m_browser->NotifyLoadStart(frame);
    return frame;
}

void ChromiumPage::FrameStartedLoading(const std::string& frameId) {
    if (frameId != FrameIdAt(0)) return;
    m_browser->NotifyLoadingState(true, m_browser->CanGoBack(), m_browser->CanGoForward());
}

void ChromiumPage::FrameStoppedLoading(const std::string& frameId) {
    CefRefPtr<FrameImpl> frame = FrameFor(frameId, false);
    if (!frame) return;
    auto status = m_statuses.find(frameId);
    m_browser->NotifyLoadEnd(frame, status == m_statuses.end() ? 0 : status->second);
    if (frame->IsMain()) {
        m_browser->NotifyLoadingState(false, m_browser->CanGoBack(), m_browser->CanGoForward());
    }
}

void ChromiumPage::ContextCreated(const Json& context) {
    Json aux = context.value("auxData", Json::object());
    if (!aux.value("isDefault", false)) return;
    std::string frameId = aux.value("frameId", "");
    CefRefPtr<FrameImpl> frame = Commit(frameId);
    if (!frame) return;
    const int contextId = context.value("id", 0);
    m_contextFrames[contextId] = frameId;
    // The new-document script does not always reach a document that moved
    // to another render process; it guards itself against running twice.
    Send("Runtime.evaluate", {{"expression", PageScript()}, {"contextId", contextId}});
    m_browser->SendContextCreated(frame);
}

void ChromiumPage::ContextDestroyed(int contextId) { m_contextFrames.erase(contextId); }

void ChromiumPage::BindingCalled(int contextId, const std::string& payload) {
    const int frameIndex = FrameIndexOf(contextId);
    std::optional<PageSignal> signal = ParsePageSignal(payload);
    if (frameIndex < 0 || !signal) return;
    switch (signal->kind) {
        case PageSignal::kPopup: {
            CefRefPtr<BrowserHostImpl> browser = m_browser;
            CefString url(signal->url), name(signal->frameName);
            browser->PostTo(TID_IO, [frameIndex, url, name](BrowserHostImpl& b) {
                PageEvents::RequestPopup(b, frameIndex, url, name);
            });
            break;
        }
        case PageSignal::kFocus: {
            WireWriter message(WireType::kFocusElement);
            message.I32(frameIndex).Bool(signal->element).Bool(signal->hasTitle).Str(signal->title);
            PageEvents::ToRenderFrame(*m_browser, frameIndex, message, true);
            break;
        }
        case PageSignal::kCall: {
            WireWriter message(WireType::kCallFunction);
            message.I32(frameIndex).Str(signal->function);
            WriteScriptArgs(message, signal->args);
            PageEvents::ToRenderFrame(*m_browser, frameIndex, message, false);
            break;
        }
    }
}

void ChromiumPage::DocumentRequest(const Json& params) {
    if (params.value("type", "") != "Document") return;
    m_requests[params.value("requestId", "")] = params.value("frameId", "");
    m_requestUrls[params.value("requestId", "")] =
        params.value("request", Json::object()).value("url", "");
}

void ChromiumPage::DocumentResponse(const Json& params) {
    if (params.value("type", "") != "Document") return;
    std::string frameId = params.value("frameId", "");
    Json response = params.value("response", Json::object());
    m_statuses[frameId] = response.value("status", 0);
    m_navigating[frameId] = response.value("url", m_navigating[frameId]);
}

void ChromiumPage::DocumentFailed(const Json& params) {
    const std::string requestId = params.value("requestId", "");
    auto request = m_requests.find(requestId);
    if (request == m_requests.end()) return;
    const std::string frameId = request->second;
    const std::string url = m_requestUrls[requestId];
    m_requests.erase(request);
    m_requestUrls.erase(requestId);
    int code = NetErrorCode(params.value("errorText", "net::ERR_FAILED"));
    if (params.value("canceled", false)) code = NetErrorCode("net::ERR_ABORTED");
    if (CefRefPtr<FrameImpl> frame = FrameFor(frameId, true)) {
        m_browser->NotifyLoadError(frame, code, Text(url));
    }
}

void ChromiumPage::DialogOpening(const Json& params) {
    if (params.value("type", "") == "beforeunload") {
        CefRefPtr<CefClient> client = m_browser->Client();
        CefRefPtr<CefJSDialogHandler> handler = client ? client->GetJSDialogHandler() : nullptr;
        bool suppressed = handler && handler->OnBeforeUnloadDialog(
                                         m_browser.get(), Text(params.value("message", "")), false,
                                         new CefJSDialogCallbackImpl());
        m_browser->Record("before-unload", {suppressed ? u"suppressed" : u"dialog"});
    }
    // A headless page waits for its dialog until it is answered; nobody can
    // see it, so it is answered at once as a player would most often.
    Send("Page.handleJavaScriptDialog", {{"accept", true}});
}

void ChromiumPage::Crashed() {
    m_browser->Record("chromium-crashed", {});
    SetNotice(L"The page has crashed. Reload to bring it back.");
}

void ChromiumPage::ScreencastFrame(const Json& params) {
    std::optional<std::string> picture = Base64Decode(params.value("data", ""));
    if (picture && m_surface.Offer(*picture)) {
        if (HWND window = m_browser->Window()) InvalidateRect(window, nullptr, FALSE);
    }
    // Acknowledged once shown, so Chromium never runs ahead of the painting.
    Send("Page.screencastFrameAck", {{"sessionId", params.value("sessionId", 0)}});
}

// ---- Input ----------------------------------------------------------------------------

bool ChromiumPage::HandleInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result) {
    const ModifierKeys keys = CurrentModifiers();
    result = 0;
    switch (message) {
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window, &point);
            if (auto event = MapMouseWheel(message, wParam, point.x, point.y, keys)) {
                SendMouse(*event);
                return true;
            }
            return false;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            if (auto event = MapKeyMessage(message, wParam, lParam, keys, m_chars)) SendKey(*event);
            // System keys go on to the window's default handling (Alt+F4).
            return message != WM_SYSKEYDOWN && message != WM_SYSKEYUP && message != WM_SYSCHAR;
        case WM_IME_COMPOSITION:
            if (!(lParam & GCS_RESULTSTR)) return false;
            // Taken here, so no WM_IME_CHAR types the same text again.
            return TakeImeResult(window);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Send("Emulation.setFocusEmulationEnabled", {{"enabled", message == WM_SETFOCUS}});
            return false;
        default:
            break;
    }
    auto event = MapMouseMessage(message, wParam, lParam, keys, m_clicks);
    if (!event) return false;
    if (IsButtonDown(message)) {
        if (GetFocus() != window) SetFocus(window);
        SetCapture(window);
    } else if (IsButtonUp(message) && GetCapture() == window) {
        ReleaseCapture();
    }
    SendMouse(*event);
    return true;
}

void ChromiumPage::SendMouse(const MouseEventParams& event) {
    Send("Input.dispatchMouseEvent", ToParams(event));
}

void ChromiumPage::SendKey(const KeyEventParams& event) {
    Send("Input.dispatchKeyEvent", ToParams(event));
}

bool ChromiumPage::TakeImeResult(HWND window) {
    HIMC context = ImmGetContext(window);
    if (!context) return false;
    LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    std::u16string text(bytes > 0 ? bytes / sizeof(char16_t) : 0, u'\0');
    if (bytes > 0) ImmGetCompositionStringW(context, GCS_RESULTSTR, &text[0], bytes);
    ImmReleaseContext(window, context);
    if (!text.empty()) Send("Input.insertText", InsertTextParams(text));
    return true;
}

}  // namespace cefimpl::chromium
