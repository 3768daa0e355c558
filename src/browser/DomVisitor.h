// Reads the title attribute of the focused element: the caption of a game
// window that a "_game" link opens.
#pragma once

#include "cef/CefDOM.h"

class DomVisitor : public CefDOMVisitor {
public:
    void Visit(CefRefPtr<CefDOMDocument> document) override;

    // Empty when nothing had the focus or the element has no title.
    const CefString& Title() const { return m_title; }

private:
    CefString m_title;

    IMPLEMENT_REFCOUNTING(DomVisitor);
};
