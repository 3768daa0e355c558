// A node of the render process's page model: an element with attributes,
// or the document node.
#pragma once

#include "cef/CefDOM.h"

#include <map>
#include <mutex>

namespace cefimpl {

class CefDOMNodeImpl : public CefDOMNode {
public:
    CefDOMNodeImpl(bool isElement, const CefString& tagName)
        : m_isElement(isElement), m_tagName(tagName) {}

    bool IsElement() override { return m_isElement; }
    CefString GetElementTagName() override { return m_isElement ? m_tagName : CefString(); }
    bool HasElementAttribute(const CefString& name) override;
    CefString GetElementAttribute(const CefString& name) override;
    bool SetElementAttribute(const CefString& name, const CefString& value) override;

private:
    const bool m_isElement;
    const CefString m_tagName;
    std::mutex m_mutex;
    std::map<std::u16string, CefString> m_attributes;

    IMPLEMENT_REFCOUNTING(CefDOMNodeImpl);
};

}  // namespace cefimpl
