#include "cef/backend/RenderFrame.h"

#include "cef/backend/DomDocumentImpl.h"

namespace cefimpl {

CefRefPtr<CefV8ContextImpl> RenderFrame::NewDocument(const CefString& url) {
    CefRefPtr<CefV8ContextImpl> old;
    CefRefPtr<CefV8ContextImpl> context;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_browser) return nullptr;
        m_url = url;
        m_body = new CefDOMNodeImpl(true, "BODY");
        m_focused = nullptr;
        old = m_context;
        context = m_context = new CefV8ContextImpl(m_browser, this);
    }
    if (old) old->Invalidate();
    return context;
}

void RenderFrame::Focus(bool element, bool hasTitle, const CefString& title) {
    CefRefPtr<CefDOMNodeImpl> node;
    if (element) {
        node = new CefDOMNodeImpl(true, "A");
        if (hasTitle) node->SetElementAttribute("title", title);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_focused = node;
}

void RenderFrame::SetHasBody(bool hasBody) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!hasBody) {
        m_body = nullptr;
    } else if (!m_body) {
        m_body = new CefDOMNodeImpl(true, "BODY");
    }
}

bool RenderFrame::ReadBodyAttribute(const CefString& name, CefString& value) {
    CefRefPtr<CefDOMNodeImpl> body;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        body = m_body;
    }
    value = body ? body->GetElementAttribute(name) : CefString();
    return body != nullptr;
}

void RenderFrame::Close() {
    CefRefPtr<CefV8ContextImpl> context;
    CefRefPtr<CefBrowser> browser;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        context = m_context;
        m_context = nullptr;
        browser = m_browser;
        m_browser = nullptr;
    }
    if (context) context->Invalidate();
}

bool RenderFrame::IsValid() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_browser != nullptr;
}

bool RenderFrame::IsFocused() {
    CefRefPtr<CefBrowser> browser = GetBrowser();
    CefRefPtr<CefFrame> focused = browser ? browser->GetFocusedFrame() : nullptr;
    return focused.get() == this;
}

CefString RenderFrame::GetURL() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_url;
}

CefRefPtr<CefBrowser> RenderFrame::GetBrowser() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_browser;
}

void RenderFrame::VisitDOM(CefRefPtr<CefDOMVisitor> visitor) {
    if (!visitor) return;
    CefRefPtr<CefDOMDocumentImpl> document;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        document = new CefDOMDocumentImpl(m_document.get(), m_body.get(), m_focused.get(), m_url);
    }
    // Outside the lock: the visitor may well ask the frame for more.
    visitor->Visit(document.get());
    document->Invalidate();
}

CefRefPtr<CefV8Context> RenderFrame::GetV8Context() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_context.get();
}

}  // namespace cefimpl
