#include "browser/ClientApp.h"

#include "browser/BodyNoScroll.h"
#include "browser/DomVisitor.h"
#include "browser/Ve360Z8Ovarero.h"
#include "cef/CefTask.h"

#include <algorithm>

namespace {

// Long enough for a loaded machine to bring the engine's UI thread up, short
// enough that a failed engine start delays the first window only once.
constexpr DWORD kHandlerWaitMs = 5000;

// Runs the messages other threads send to this thread's windows, so an
// engine thread blocked in SendMessageW cannot dead-lock with our wait.
void WaitForSentMessages(DWORD timeoutMs) {
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_SENDMESSAGE, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

void ClientApp::OnBeforeCommandLineProcessing(const CefString& processType,
                                              CefRefPtr<CefCommandLine> commandLine) {
    // Every process, on its main thread, before any engine thread exists.
    (void)processType;
    if (!commandLine) return;
    commandLine->AppendSwitch("disable-web-security");
    commandLine->AppendSwitch("disable-gpu-compositing");
}

void ClientApp::OnContextInitialized() {
    REQUIRE_UI_THREAD();
    m_handler = new ClientHandler();
    m_handlerReady.store(true, std::memory_order_release);
}

void ClientApp::OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                 CefRefPtr<CefV8Context> context) {
    REQUIRE_RENDERER_THREAD();
    (void)frame;
    CefRefPtr<CefV8Value> global = context ? context->GetGlobal() : nullptr;
    if (!global) return;
    CefRefPtr<CefV8Handler> handler = new Ve360Z8Ovarero(browser);
    global->SetValue("OpenGameWindow", CefV8Value::CreateFunction("OpenGameWindow", handler),
                     V8_PROPERTY_ATTRIBUTE_NONE);
}

bool ClientApp::OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                         CefRefPtr<CefProcessMessage> message) {
    REQUIRE_RENDERER_THREAD();
    (void)sourceProcess;
    if (!browser || !message) return false;
    const CefString name = message->GetName();
    CefRefPtr<CefFrame> frame = browser->GetFocusedFrame();
    if (name == CefString(u"PopGameWindow")) {
        // The browser asks which element opened a "_game" popup: the focused
        // one, whose title becomes the game window's caption.
        CefRefPtr<DomVisitor> visitor = new DomVisitor();
        if (frame) frame->VisitDOM(visitor.get());
        CefRefPtr<CefListValue> request = message->GetArgumentList();
        CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("PopGameWindow");
        CefRefPtr<CefListValue> args = reply->GetArgumentList();
        args->SetString(0, request ? request->GetString(0) : CefString());
        args->SetString(1, visitor->Title());
        args->SetString(2, request ? request->GetString(1) : CefString());
        browser->SendProcessMessage(PID_BROWSER, reply);
        return true;
    }
    if (name == CefString(u"BodyNoScroll")) {
        if (frame) frame->VisitDOM(new BodyNoScroll());
        // Acted on, yet reported as unhandled, as the browser side expects.
        return false;
    }
    return false;
}

bool ClientApp::CreateBrowser(HWND parent, const RECT& rect, const wchar_t* url) {
    CefWindowInfo windowInfo;
    windowInfo.SetAsChild(parent, rect);

    CefBrowserSettings settings;
    settings.windowless_frame_rate = 60;
    settings.local_storage = STATE_ENABLED;
    settings.application_cache = STATE_ENABLED;

    CefRefPtr<ClientHandler> handler = WaitForHandler();
    return CefBrowserHost::CreateBrowser(windowInfo, handler.get(), CefString(url), settings,
                                         nullptr);
}

CefRefPtr<ClientHandler> ClientApp::WaitForHandler() {
    const DWORD start = GetTickCount();
    while (!m_handlerReady.load(std::memory_order_acquire) && !m_handlerWaitExpired) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= kHandlerWaitMs) {
            // Without a handler the browser still loads; it just never reports.
            m_handlerWaitExpired = true;
            break;
        }
        WaitForSentMessages(std::min<DWORD>(kHandlerWaitMs - waited, 10));
    }
    return m_handlerReady.load(std::memory_order_acquire) ? m_handler : nullptr;
}
