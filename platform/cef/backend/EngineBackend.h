// What differs between backends, behind one interface: the test backend
// plays pages itself; a Chromium backend would have a real browser load and
// paint them. Everything else of the engine (processes, threads, the client's
// callbacks) is shared.
#pragma once

#include "cef/CefBrowser.h"

#include <memory>

namespace cefimpl {

class BrowserHostImpl;

class EngineBackend {
public:
    virtual ~EngineBackend() = default;
    // The --engine-backend value render processes are started with.
    virtual const char* Name() const = 0;
    // UI thread: the client allowed the navigation of the frame at
    // `frameIndex`; load the page.
    virtual void Navigate(BrowserHostImpl& browser, int frameIndex, const CefString& url) = 0;
    // UI thread: the picture of the browser's window.
    virtual void Paint(BrowserHostImpl& browser, HDC dc, const RECT& client) = 0;
};

}  // namespace cefimpl
