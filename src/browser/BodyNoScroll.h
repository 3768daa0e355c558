// Turns the page body's scroll bars off (scroll="no").
#pragma once

#include "cef/CefDOM.h"

class BodyNoScroll : public CefDOMVisitor {
public:
    void Visit(CefRefPtr<CefDOMDocument> document) override;

private:
    IMPLEMENT_REFCOUNTING(BodyNoScroll);
};
