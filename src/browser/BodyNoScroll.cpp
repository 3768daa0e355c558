#include "browser/BodyNoScroll.h"

#include "cef/CefTask.h"

void BodyNoScroll::Visit(CefRefPtr<CefDOMDocument> document) {
    REQUIRE_RENDERER_THREAD();
    CefRefPtr<CefDOMNode> body = document ? document->GetBody() : nullptr;
    if (body) body->SetElementAttribute("scroll", "no");
}
