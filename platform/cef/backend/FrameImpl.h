// A frame as the browser process knows it: name, id and address. Its
// document lives in the render process.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/CefDOM.h"
#include "cef/CefV8.h"

#include <mutex>

namespace cefimpl {

class BrowserHostImpl;

class FrameImpl : public CefFrame {
public:
    FrameImpl(CefRefPtr<BrowserHostImpl> browser, int index, int64_t id, const CefString& name);
    ~FrameImpl() override;

    int Index() const { return m_index; }
    void SetUrl(const CefString& url);
    // The frame is gone (a new page, a closed browser): it lets go of the
    // browser and turns invalid.
    void Detach();

    bool IsValid() override;
    bool IsMain() override { return m_index == 0; }
    bool IsFocused() override;
    CefString GetName() override { return m_name; }
    int64_t GetIdentifier() override { return m_id; }
    CefString GetURL() override;
    CefRefPtr<CefBrowser> GetBrowser() override;
    void LoadURL(const CefString& url) override;
    // The document is in the render process; the browser side cannot visit.
    void VisitDOM(CefRefPtr<CefDOMVisitor>) override {}
    CefRefPtr<CefV8Context> GetV8Context() override { return nullptr; }

private:
    CefRefPtr<BrowserHostImpl> Browser();

    const int m_index;
    const int64_t m_id;
    const CefString m_name;
    std::mutex m_mutex;
    CefRefPtr<BrowserHostImpl> m_browser;
    CefString m_url;

    IMPLEMENT_REFCOUNTING(FrameImpl);
};

}  // namespace cefimpl
