// What a page does, as the client hears it: the test backend's pages when
// the automation says so, the Chromium backend's when the real page acts.
// Each operation runs on the engine thread the real event arrives on (the
// UI thread, or the IO thread for popups and credentials) and reaches the
// client exactly as a page's event would.
#pragma once

#include "cef/CefTesting.h"
#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/WireWriter.h"

namespace cefimpl {

class CefDownloadItemImpl;

class PageEvents {
public:
    // ---- UI thread ----
    static void FinishLoad(BrowserHostImpl& browser, int frames, int httpStatus,
                           const CefString& mainUrl);
    static void ChangeTitle(BrowserHostImpl& browser, const CefString& title);
    static void ChangeAddress(BrowserHostImpl& browser, int frameIndex, const CefString& url);
    static void ReportLoadError(BrowserHostImpl& browser, int frameIndex, int errorCode,
                                const CefString& url);
    static void ConsoleMessage(BrowserHostImpl& browser, const CefString& text);
    // A message for the frame's document or script context in the render
    // process; `focus` also makes the frame the focused one.
    static void ToRenderFrame(BrowserHostImpl& browser, int frameIndex, const WireWriter& message,
                              bool focus);
    static void ToRender(BrowserHostImpl& browser, const WireWriter& message);
    static void StartDownload(BrowserHostImpl& browser, const CefString& url,
                              const CefString& suggestedName,
                              const std::vector<cef_testing::DownloadProgress>& progress);
    static void OpenContextMenu(BrowserHostImpl& browser, int typeFlags, int entries);
    static void BeforeUnload(BrowserHostImpl& browser);

    // ---- IO thread ----
    static void RequestPopup(BrowserHostImpl& browser, int frameIndex, const CefString& url,
                             const CefString& frameName);
    static void RequestCredentials(BrowserHostImpl& browser, bool isProxy, const CefString& host,
                                   int port, const CefString& realm, const CefString& scheme);

private:
    // The frame, or null with an "automation-error" record.
    static CefRefPtr<FrameImpl> Frame(BrowserHostImpl& browser, int frameIndex);
    static void RunDownload(CefRefPtr<BrowserHostImpl> browser, CefRefPtr<CefDownloadItemImpl> item,
                            const std::vector<cef_testing::DownloadProgress>& progress,
                            const CefString& path);
};

}  // namespace cefimpl
