// A frame's document as a visitor sees it. Valid only while the visit runs:
// afterwards it hands out no nodes.
#pragma once

#include "cef/CefDOM.h"

#include <atomic>

namespace cefimpl {

class CefDOMDocumentImpl : public CefDOMDocument {
public:
    CefDOMDocumentImpl(CefRefPtr<CefDOMNode> document, CefRefPtr<CefDOMNode> body,
                       CefRefPtr<CefDOMNode> focused, const CefString& title)
        : m_document(document), m_body(body), m_focused(focused), m_title(title) {}

    void Invalidate() { m_valid = false; }

    CefRefPtr<CefDOMNode> GetDocument() override { return m_valid ? m_document : nullptr; }
    CefRefPtr<CefDOMNode> GetBody() override { return m_valid ? m_body : nullptr; }
    CefRefPtr<CefDOMNode> GetFocusedNode() override { return m_valid ? m_focused : nullptr; }
    CefString GetTitle() override { return m_valid ? m_title : CefString(); }

private:
    const CefRefPtr<CefDOMNode> m_document;
    const CefRefPtr<CefDOMNode> m_body;
    const CefRefPtr<CefDOMNode> m_focused;
    const CefString m_title;
    std::atomic<bool> m_valid{true};

    IMPLEMENT_REFCOUNTING(CefDOMDocumentImpl);
};

}  // namespace cefimpl
