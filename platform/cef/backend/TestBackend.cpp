#include "cef/backend/TestBackend.h"

#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/ScopedSelectObject.h"

namespace cefimpl {

std::unique_ptr<EngineBackend> CreateTestBackend() {
    return std::unique_ptr<EngineBackend>(new TestBackend());
}

void TestBackend::Navigate(BrowserHostImpl& browser, int frameIndex, const CefString& url) {
    CefRefPtr<FrameImpl> frame = browser.FrameAt(frameIndex);
    if (!frame) return;
    bool main = frame->IsMain();
    if (main) {
        // A new main document has none of the old one's sub-frames.
        browser.SetFrameCount(1);
        browser.SetFocusedFrame(-1);
    }
    frame->SetUrl(url);
    browser.NotifyAddressChange(frame, url);
    if (main) browser.NotifyLoadingState(true, browser.CanGoBack(), browser.CanGoForward());
    browser.NotifyLoadStart(frame);
    browser.SendContextCreated(frame);
    browser.NotifyLoadEnd(frame, 200);
    if (main) browser.NotifyLoadingState(false, browser.CanGoBack(), browser.CanGoForward());
}

void TestBackend::Paint(BrowserHostImpl& browser, HDC dc, const RECT& client) {
    SetDCBrushColor(dc, RGB(246, 246, 240));
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    ScopedSelectObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(64, 64, 64));
    std::wstring lines[] = {browser.MainUrl().ToWString(), browser.Title().ToWString()};
    RECT line = {client.left + 8, client.top + 8, client.right - 8, client.top + 28};
    for (const std::wstring& text : lines) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
                  DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        OffsetRect(&line, 0, 20);
    }
}

}  // namespace cefimpl
