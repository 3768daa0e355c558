// The request a navigation asks the client about.
#pragma once

#include "cef/CefClient.h"

namespace cefimpl {

class CefRequestImpl : public CefRequest {
public:
    CefRequestImpl(const CefString& url, const CefString& method) : m_url(url), m_method(method) {}
    CefString GetURL() override { return m_url; }
    CefString GetMethod() override { return m_method; }

private:
    const CefString m_url;
    const CefString m_method;

    IMPLEMENT_REFCOUNTING(CefRequestImpl);
};

}  // namespace cefimpl
