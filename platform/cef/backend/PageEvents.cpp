#include "cef/backend/PageEvents.h"

#include "cef/backend/AuthCallbackImpl.h"
#include "cef/backend/BeforeDownloadCallbackImpl.h"
#include "cef/backend/ContextMenuParamsImpl.h"
#include "cef/backend/DownloadItemCallbackImpl.h"
#include "cef/backend/DownloadItemImpl.h"
#include "cef/backend/Engine.h"
#include "cef/backend/JSDialogCallbackImpl.h"
#include "cef/backend/MenuModelImpl.h"
#include "cef/backend/ThreadRegistry.h"

namespace cefimpl {
namespace {

std::u16string Decimal(long long value) {
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

}  // namespace

CefRefPtr<FrameImpl> PageEvents::Frame(BrowserHostImpl& browser, int frameIndex) {
    CefRefPtr<FrameImpl> frame = browser.FrameAt(frameIndex);
    if (!frame) browser.Record("automation-error", {u"no frame " + Decimal(frameIndex)});
    return frame;
}

// ---- Loading and display ---------------------------------------------------------

void PageEvents::FinishLoad(BrowserHostImpl& browser, int frames, int httpStatus,
                            const CefString& mainUrl) {
    CefRefPtr<FrameImpl> main = browser.FrameAt(0);
    if (!main) return;
    if (!mainUrl.empty() && mainUrl != main->GetURL()) {
        main->SetUrl(mainUrl);
        browser.NotifyAddressChange(main, mainUrl);
    }
    std::vector<CefRefPtr<FrameImpl>> all = browser.SetFrameCount(frames);
    for (auto& frame : all) browser.SendContextCreated(frame);
    for (auto& frame : all) browser.NotifyLoadEnd(frame, httpStatus);
    browser.NotifyLoadingState(false, browser.CanGoBack(), browser.CanGoForward());
}

void PageEvents::ChangeTitle(BrowserHostImpl& browser, const CefString& title) {
    browser.SetTitle(title);
    browser.NotifyTitleChange(title);
}

void PageEvents::ChangeAddress(BrowserHostImpl& browser, int frameIndex, const CefString& url) {
    if (CefRefPtr<FrameImpl> frame = Frame(browser, frameIndex)) {
        frame->SetUrl(url);
        browser.NotifyAddressChange(frame, url);
    }
}

void PageEvents::ReportLoadError(BrowserHostImpl& browser, int frameIndex, int errorCode,
                                 const CefString& url) {
    if (CefRefPtr<FrameImpl> frame = Frame(browser, frameIndex)) {
        browser.NotifyLoadError(frame, errorCode, url);
    }
}

void PageEvents::ConsoleMessage(BrowserHostImpl& browser, const CefString& text) {
    CefRefPtr<CefDisplayHandler> handler = browser.DisplayHandler();
    bool swallowed = handler && handler->OnConsoleMessage(&browser, text, browser.MainUrl(), 1);
    browser.Record("console", {swallowed ? u"swallowed" : u"logged"});
}

// ---- The render side's page ----------------------------------------------------------

void PageEvents::ToRenderFrame(BrowserHostImpl& browser, int frameIndex, const WireWriter& message,
                               bool focus) {
    if (!Frame(browser, frameIndex)) return;
    if (focus) browser.SetFocusedFrame(frameIndex);
    ToRender(browser, message);
}

void PageEvents::ToRender(BrowserHostImpl& browser, const WireWriter& message) {
    if (!browser.SendToRender(message.Frame())) {
        browser.Record("automation-error", {u"no render process"});
    }
}

// ---- Downloads, menus, dialogs -----------------------------------------------------------

void PageEvents::StartDownload(BrowserHostImpl& browser, const CefString& url,
                               const CefString& suggestedName,
                               const std::vector<cef_testing::DownloadProgress>& progress) {
    CefRefPtr<CefClient> client = browser.Client();
    CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
    CefRefPtr<CefDownloadItemImpl> item = new CefDownloadItemImpl(url, suggestedName);
    CefRefPtr<BrowserHostImpl> self(&browser);
    // The client may continue later and from any thread; the download then
    // runs on the UI thread.
    auto start = [self, item, progress](const CefString& path) {
        self->PostTo(TID_UI, [item, progress, path](BrowserHostImpl& b) {
            RunDownload(&b, item, progress, path);
        });
    };
    CefRefPtr<CefBeforeDownloadCallbackImpl> callback =
        new CefBeforeDownloadCallbackImpl(browser.Id(), start);
    if (handler) handler->OnBeforeDownload(&browser, item.get(), suggestedName, callback.get());
}

void PageEvents::RunDownload(CefRefPtr<BrowserHostImpl> browser,
                             CefRefPtr<CefDownloadItemImpl> item,
                             const std::vector<cef_testing::DownloadProgress>& progress,
                             const CefString& path) {
    CefRefPtr<CefClient> client = browser->Client();
    CefRefPtr<CefDownloadHandler> handler = client ? client->GetDownloadHandler() : nullptr;
    CefRefPtr<CefDownloadItemCallbackImpl> callback = new CefDownloadItemCallbackImpl();
    item->SetFullPath(path);
    for (const auto& step : progress) {
        item->Update(step);
        if (handler) handler->OnDownloadUpdated(browser.get(), item.get(), callback.get());
        if (callback->IsCanceled()) {
            item->MarkCanceled();
            if (handler) handler->OnDownloadUpdated(browser.get(), item.get(), callback.get());
            browser->Record("download-canceled", {item->GetURL().ToString16()});
            return;
        }
    }
}

void PageEvents::OpenContextMenu(BrowserHostImpl& browser, int typeFlags, int entries) {
    CefRefPtr<CefClient> client = browser.Client();
    CefRefPtr<CefContextMenuHandler> handler = client ? client->GetContextMenuHandler() : nullptr;
    CefRefPtr<CefMenuModelImpl> model = new CefMenuModelImpl(entries);
    if (handler) {
        handler->OnBeforeContextMenu(&browser, browser.GetMainFrame(),
                                     new CefContextMenuParamsImpl(typeFlags), model.get());
    }
    browser.Record("context-menu", {Decimal(typeFlags), Decimal(model->GetCount())});
}

void PageEvents::BeforeUnload(BrowserHostImpl& browser) {
    CefRefPtr<CefClient> client = browser.Client();
    CefRefPtr<CefJSDialogHandler> handler = client ? client->GetJSDialogHandler() : nullptr;
    bool suppressed = handler && handler->OnBeforeUnloadDialog(&browser, CefString(), false,
                                                               new CefJSDialogCallbackImpl());
    // Not suppressed, the engine would show its own dialog; the test page
    // only says so.
    browser.Record("before-unload", {suppressed ? u"suppressed" : u"dialog"});
}

// ---- IO thread -------------------------------------------------------------------------------

void PageEvents::RequestPopup(BrowserHostImpl& browser, int frameIndex, const CefString& url,
                              const CefString& frameName) {
    CefRefPtr<FrameImpl> frame = Frame(browser, frameIndex);
    if (!frame) return;
    CefRefPtr<CefLifeSpanHandler> handler = browser.LifeSpanHandler();
    CefPopupFeatures features;
    CefWindowInfo windowInfo;
    CefRefPtr<CefClient> client = browser.Client();
    CefBrowserSettings settings = browser.Settings();
    bool noJavascriptAccess = false;
    bool cancel =
        handler && handler->OnBeforePopup(&browser, frame.get(), url, frameName, features,
                                          windowInfo, client, settings, &noJavascriptAccess);
    browser.Record("popup",
                   {url.ToString16(), frameName.ToString16(), cancel ? u"canceled" : u"opened"});
    if (!cancel) Engine::Get().CreateBrowser(windowInfo, client, url, settings, true);
}

void PageEvents::RequestCredentials(BrowserHostImpl& browser, bool isProxy, const CefString& host,
                                    int port, const CefString& realm, const CefString& scheme) {
    CefRefPtr<CefRequestHandler> handler = browser.RequestHandler();
    CefRefPtr<CefAuthCallbackImpl> callback = new CefAuthCallbackImpl(browser.Id());
    bool willAnswer =
        handler && handler->GetAuthCredentials(&browser, browser.GetMainFrame(), isProxy, host,
                                               port, realm, scheme, callback.get());
    if (!willAnswer) callback->Cancel();
}

}  // namespace cefimpl
