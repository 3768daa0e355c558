#include "browser/SetCookieTask.h"

#include "cef/CefUrl.h"

CefCookie SetCookieTask::MarkerCookie(const CefString& host) {
    CefCookie cookie;
    cookie.name = "plover=1";
    cookie.value = "";
    cookie.domain = host;
    cookie.path = "/";
    cookie.secure = false;
    cookie.httponly = false;
    cookie.has_expires = false;
    return cookie;
}

void SetCookieTask::Execute() {
    REQUIRE_IO_THREAD();
    CefRefPtr<CefCookieManager> manager = CefCookieManager::GetGlobalManager(nullptr);
    CefURLParts parts;
    CefParseURL(m_url, parts);
    if (parts.host.empty() || !manager) return;
    // Set through the origin, which keeps the port; the domain has none.
    manager->SetCookie(parts.origin, MarkerCookie(parts.host), nullptr);
}
