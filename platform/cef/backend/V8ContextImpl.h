// A frame's script context: its global object. A navigation replaces it, and
// the old one turns invalid.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/CefV8.h"
#include "cef/backend/V8ValueImpl.h"

#include <atomic>

namespace cefimpl {

class CefV8ContextImpl : public CefV8Context {
public:
    CefV8ContextImpl(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
        : m_browser(browser),
          m_frame(frame),
          m_global(new CefV8ValueImpl(CefV8ValueImpl::Kind::kObject)) {}

    // Ends the context: its global lets go of its properties (and so of
    // handlers that hold the browser).
    void Invalidate();

    bool IsValid() override { return m_valid; }
    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    CefRefPtr<CefFrame> GetFrame() override { return m_frame; }
    CefRefPtr<CefV8Value> GetGlobal() override { return m_global.get(); }
    CefRefPtr<CefV8ValueImpl> Global() const { return m_global; }

private:
    const CefRefPtr<CefBrowser> m_browser;
    const CefRefPtr<CefFrame> m_frame;
    const CefRefPtr<CefV8ValueImpl> m_global;
    std::atomic<bool> m_valid{true};

    IMPLEMENT_REFCOUNTING(CefV8ContextImpl);
};

}  // namespace cefimpl
