#include "browser/DomVisitor.h"

#include "cef/CefTask.h"

void DomVisitor::Visit(CefRefPtr<CefDOMDocument> document) {
    REQUIRE_RENDERER_THREAD();
    CefRefPtr<CefDOMNode> focused = document ? document->GetFocusedNode() : nullptr;
    if (focused) m_title = focused->GetElementAttribute("title");
}
