// A frame as the render process holds it: its document (document node,
// body, focused element) and its current script context.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/backend/DomNodeImpl.h"
#include "cef/backend/V8ContextImpl.h"

#include <mutex>

namespace cefimpl {

class RenderFrame : public CefFrame {
public:
    RenderFrame(CefRefPtr<CefBrowser> browser, int index, int64_t id, const CefString& name)
        : m_browser(browser), m_index(index), m_id(id), m_name(name) {}

    int Index() const { return m_index; }
    // A new document at `url`: a body without attributes, no focus, and a
    // new script context (the old one ends).
    CefRefPtr<CefV8ContextImpl> NewDocument(const CefString& url);
    // Gives the focus to an element (titled or not), or to none.
    void Focus(bool element, bool hasTitle, const CefString& title);
    void SetHasBody(bool hasBody);
    // False when the document has no body.
    bool ReadBodyAttribute(const CefString& name, CefString& value);
    // Ends the frame: its context ends and it lets go of the browser.
    void Close();

    bool IsValid() override;
    bool IsMain() override { return m_index == 0; }
    bool IsFocused() override;
    CefString GetName() override { return m_name; }
    int64_t GetIdentifier() override { return m_id; }
    CefString GetURL() override;
    CefRefPtr<CefBrowser> GetBrowser() override;
    // Navigation is the browser process's business; the render side asks
    // for none.
    void LoadURL(const CefString&) override {}
    void VisitDOM(CefRefPtr<CefDOMVisitor> visitor) override;
    CefRefPtr<CefV8Context> GetV8Context() override;

private:
    std::mutex m_mutex;
    CefRefPtr<CefBrowser> m_browser;
    const int m_index;
    const int64_t m_id;
    const CefString m_name;
    CefString m_url;
    CefRefPtr<CefV8ContextImpl> m_context;
    CefRefPtr<CefDOMNodeImpl> m_document = new CefDOMNodeImpl(false, "#document");
    CefRefPtr<CefDOMNodeImpl> m_body;
    CefRefPtr<CefDOMNodeImpl> m_focused;

    IMPLEMENT_REFCOUNTING(RenderFrame);
};

}  // namespace cefimpl
