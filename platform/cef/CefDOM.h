// The document of a frame, as the render process sees it.
#pragma once

#include "cef/CefBase.h"
#include "cef/CefString.h"

class CefDOMDocument;
class CefDOMNode;

class CefDOMVisitor : public virtual CefBase {
public:
    // The document is valid only during the call.
    virtual void Visit(CefRefPtr<CefDOMDocument> document) = 0;
};

class CefDOMDocument : public virtual CefBase {
public:
    virtual CefRefPtr<CefDOMNode> GetDocument() = 0;
    // Null when the document has no body.
    virtual CefRefPtr<CefDOMNode> GetBody() = 0;
    // Null when no element has the focus.
    virtual CefRefPtr<CefDOMNode> GetFocusedNode() = 0;
    virtual CefString GetTitle() = 0;
};

class CefDOMNode : public virtual CefBase {
public:
    virtual bool IsElement() = 0;
    virtual CefString GetElementTagName() = 0;
    virtual bool HasElementAttribute(const CefString& name) = 0;
    // Empty when the attribute is absent.
    virtual CefString GetElementAttribute(const CefString& name) = 0;
    virtual bool SetElementAttribute(const CefString& name, const CefString& value) = 0;
};
