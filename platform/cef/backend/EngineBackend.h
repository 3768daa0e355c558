// What differs between backends, behind one interface: the test backend
// plays pages itself; the Chromium backend has a real browser load and
// paint them. Everything else of the engine (processes, threads, the
// client's callbacks) is shared.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/CefCookie.h"

#include <memory>
#include <vector>

namespace cefimpl {

class BrowserHostImpl;

class EngineBackend {
public:
    virtual ~EngineBackend() = default;
    // The --engine-backend value render processes are started with.
    virtual const char* Name() const = 0;
    // UI thread: the browser's window exists, before its first navigation.
    virtual void BrowserCreated(BrowserHostImpl&) {}
    // UI thread: the browser's window is gone.
    virtual void BrowserClosed(BrowserHostImpl&) {}
    // UI thread: the client allowed the navigation of the frame at
    // `frameIndex`; load the page.
    virtual void Navigate(BrowserHostImpl& browser, int frameIndex, const CefString& url) = 0;
    // UI thread: the picture of the browser's window.
    virtual void Paint(BrowserHostImpl& browser, HDC dc, const RECT& client) = 0;
    // UI thread: the browser's window has a new client size.
    virtual void Resized(BrowserHostImpl&, int /*width*/, int /*height*/) {}
    // UI thread: a mouse, keyboard, input-method or focus message of the
    // browser's window; true when the backend took it (`result` answers).
    virtual bool HandleInput(BrowserHostImpl&, HWND, UINT, WPARAM, LPARAM, LRESULT&) {
        return false;
    }
    // Any thread: the functions the render side made callable in the
    // frame's new script context.
    virtual void GlobalFunctions(BrowserHostImpl&, int /*frameIndex*/,
                                 const std::vector<CefString>& /*names*/) {}
    // IO thread: a cookie the engine accepted, for the backend's browser.
    virtual void SetCookie(const CefString& /*url*/, const CefCookie& /*cookie*/) {}
    // Before the engine's threads end.
    virtual void Shutdown() {}
};

}  // namespace cefimpl
