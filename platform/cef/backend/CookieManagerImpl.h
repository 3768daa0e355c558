// The global cookie store. The client only sets cookies; the store checks
// them as the engine would and remembers the accepted ones.
#pragma once

#include "cef/CefCookie.h"

#include <mutex>
#include <vector>

namespace cefimpl {

class CefCookieManagerImpl : public CefCookieManager {
public:
    static CefRefPtr<CefCookieManagerImpl> Global();

    bool SetCookie(const CefString& url, const CefCookie& cookie,
                   CefRefPtr<CefSetCookieCallback> callback) override;

private:
    static bool Acceptable(const CefString& url, const CefCookie& cookie);

    std::mutex m_mutex;
    std::vector<CefCookie> m_cookies;

    IMPLEMENT_REFCOUNTING(CefCookieManagerImpl);
};

}  // namespace cefimpl
