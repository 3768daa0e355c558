// The in-process automation of the test backend: each driving call hands
// the event to the engine thread that owns it and returns at once.
#include "cef/CefTesting.h"

#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/Engine.h"
#include "cef/backend/RecordLog.h"
#include "cef/backend/RenderProcessHost.h"
#include "cef/backend/PageEvents.h"
#include "cef/backend/WireValues.h"

using cefimpl::BrowserHostImpl;
using cefimpl::Engine;
using cefimpl::PageEvents;
using cefimpl::WireType;
using cefimpl::WireWriter;

namespace cef_testing {
namespace {

CefRefPtr<BrowserHostImpl> TestBrowser(int browserId) {
    Engine& engine = Engine::Get();
    return engine.IsTestBackend() ? engine.FindBrowser(browserId) : nullptr;
}

bool On(CefThreadId thread, int browserId, std::function<void(BrowserHostImpl&)> work) {
    CefRefPtr<BrowserHostImpl> browser = TestBrowser(browserId);
    return browser && browser->PostTo(thread, std::move(work));
}

bool ToFrame(int browserId, int frameIndex, const WireWriter& message, bool focus = false) {
    return On(TID_UI, browserId, [frameIndex, message, focus](BrowserHostImpl& b) {
        PageEvents::ToRenderFrame(b, frameIndex, message, focus);
    });
}

}  // namespace

ScriptArg ScriptArg::String(const std::u16string& text) {
    ScriptArg arg;
    arg.kind = kString;
    arg.stringValue = text;
    return arg;
}

ScriptArg ScriptArg::Int(int value) {
    ScriptArg arg;
    arg.kind = kInt;
    arg.intValue = value;
    return arg;
}

ScriptArg ScriptArg::Double(double value) {
    ScriptArg arg;
    arg.kind = kDouble;
    arg.doubleValue = value;
    return arg;
}

ScriptArg ScriptArg::Bool(bool value) {
    ScriptArg arg;
    arg.kind = kBool;
    arg.boolValue = value;
    return arg;
}

ScriptArg ScriptArg::Null() {
    ScriptArg arg;
    arg.kind = kNull;
    return arg;
}

bool IsTestBackend() { return Engine::Get().IsTestBackend(); }

std::vector<int> BrowserIds() { return Engine::Get().BrowserIds(); }

std::vector<Record> RecordsSince(size_t from, size_t* next) {
    return cefimpl::RecordLog::Since(from, next);
}

// ---- The page ----------------------------------------------------------------------

bool FinishLoad(int browserId, int frames, int httpStatus, const std::u16string& mainUrl) {
    return On(TID_UI, browserId,
              [=](BrowserHostImpl& b) { PageEvents::FinishLoad(b, frames, httpStatus, mainUrl); });
}

bool ChangeTitle(int browserId, const std::u16string& title) {
    return On(TID_UI, browserId, [=](BrowserHostImpl& b) { PageEvents::ChangeTitle(b, title); });
}

bool ChangeAddress(int browserId, int frameIndex, const std::u16string& url) {
    return On(TID_UI, browserId,
              [=](BrowserHostImpl& b) { PageEvents::ChangeAddress(b, frameIndex, url); });
}

bool ChangeLoadingState(int browserId, bool loading, bool canGoBack, bool canGoForward) {
    return On(TID_UI, browserId,
              [=](BrowserHostImpl& b) { b.NotifyLoadingState(loading, canGoBack, canGoForward); });
}

bool ChangeStatus(int browserId, const std::u16string& text) {
    return On(TID_UI, browserId, [=](BrowserHostImpl& b) { b.NotifyStatus(text); });
}

bool ReportLoadError(int browserId, int frameIndex, int errorCode, const std::u16string& url) {
    return On(TID_UI, browserId, [=](BrowserHostImpl& b) {
        PageEvents::ReportLoadError(b, frameIndex, errorCode, url);
    });
}

bool ConsoleMessage(int browserId, const std::u16string& text) {
    return On(TID_UI, browserId, [=](BrowserHostImpl& b) { PageEvents::ConsoleMessage(b, text); });
}

bool CallFunction(int browserId, int frameIndex, const std::u16string& name,
                  const std::vector<ScriptArg>& args) {
    WireWriter message(WireType::kCallFunction);
    message.I32(frameIndex).Str(name);
    cefimpl::WriteScriptArgs(message, args);
    return ToFrame(browserId, frameIndex, message);
}

bool FocusElement(int browserId, int frameIndex, bool element, bool hasTitle,
                  const std::u16string& title) {
    WireWriter message(WireType::kFocusElement);
    message.I32(frameIndex).Bool(element).Bool(hasTitle).Str(title);
    return ToFrame(browserId, frameIndex, message, true);
}

bool SetHasBody(int browserId, int frameIndex, bool hasBody) {
    WireWriter message(WireType::kSetHasBody);
    message.I32(frameIndex).Bool(hasBody);
    return ToFrame(browserId, frameIndex, message);
}

bool QueryBodyAttribute(int browserId, int frameIndex, const std::u16string& name) {
    WireWriter message(WireType::kQueryBody);
    message.I32(frameIndex).Str(name);
    return ToFrame(browserId, frameIndex, message);
}

bool RequestPopup(int browserId, int frameIndex, const std::u16string& url,
                  const std::u16string& frameName) {
    return On(TID_IO, browserId,
              [=](BrowserHostImpl& b) { PageEvents::RequestPopup(b, frameIndex, url, frameName); });
}

bool RequestCredentials(int browserId, bool isProxy, const std::u16string& host, int port,
                        const std::u16string& realm, const std::u16string& scheme) {
    return On(TID_IO, browserId, [=](BrowserHostImpl& b) {
        PageEvents::RequestCredentials(b, isProxy, host, port, realm, scheme);
    });
}

bool StartDownload(int browserId, const std::u16string& url, const std::u16string& suggestedName,
                   const std::vector<DownloadProgress>& progress) {
    return On(TID_UI, browserId, [=](BrowserHostImpl& b) {
        PageEvents::StartDownload(b, url, suggestedName, progress);
    });
}

bool OpenContextMenu(int browserId, int typeFlags, int entries) {
    return On(TID_UI, browserId,
              [=](BrowserHostImpl& b) { PageEvents::OpenContextMenu(b, typeFlags, entries); });
}

bool BeforeUnload(int browserId) {
    return On(TID_UI, browserId, [](BrowserHostImpl& b) { PageEvents::BeforeUnload(b); });
}

bool DelayBrowsers(int milliseconds) {
    Engine& engine = Engine::Get();
    if (!engine.IsTestBackend() || milliseconds < 0 || milliseconds > 10000) return false;
    engine.DelayBrowsers(milliseconds);
    return true;
}

// ---- The render process ----------------------------------------------------------------

bool KillRenderProcess(int browserId) {
    CefRefPtr<BrowserHostImpl> browser = TestBrowser(browserId);
    std::shared_ptr<cefimpl::RenderProcessHost> render = browser ? browser->Render() : nullptr;
    return render && render->Kill();
}

uint32_t RenderProcessId(int browserId) {
    CefRefPtr<BrowserHostImpl> browser = TestBrowser(browserId);
    std::shared_ptr<cefimpl::RenderProcessHost> render = browser ? browser->Render() : nullptr;
    return render && render->IsAlive() ? render->Pid() : 0;
}

bool RenderSendsGarbage(int browserId, int kind) {
    if (kind < kGarbageOversized || kind > kGarbageBadPayload) return false;
    WireWriter message(WireType::kSendGarbage);
    message.I32(kind);
    return On(TID_UI, browserId,
              [message](BrowserHostImpl& b) { PageEvents::ToRender(b, message); });
}

}  // namespace cef_testing
