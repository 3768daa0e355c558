#include "cef/backend/CookieManagerImpl.h"

#include "cef/backend/AsciiCase.h"

#include "cef/CefUrl.h"
#include "cef/backend/Engine.h"
#include "cef/backend/EngineBackend.h"
#include "cef/backend/RecordLog.h"
#include "cef/backend/ThreadRegistry.h"

namespace cefimpl {
namespace {

// A cookie's domain must be the URL's host or a domain above it.
bool DomainMatches(const std::u16string& host, std::u16string domain) {
    domain = AsciiLower(domain);
    if (!domain.empty() && domain[0] == u'.') domain.erase(0, 1);
    if (domain.empty() || host == domain) return true;
    return host.size() > domain.size() &&
           host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
           host[host.size() - domain.size() - 1] == u'.';
}

std::u16string Flag(bool value) { return value ? u"1" : u"0"; }

}  // namespace

CefRefPtr<CefCookieManagerImpl> CefCookieManagerImpl::Global() {
    static CefRefPtr<CefCookieManagerImpl> global = new CefCookieManagerImpl();
    return global;
}

bool CefCookieManagerImpl::Acceptable(const CefString& url, const CefCookie& cookie) {
    CefURLParts parts;
    if (!CefParseURL(url, parts) || parts.host.empty()) return false;
    std::u16string scheme = parts.scheme.ToString16();
    if (scheme != u"http" && scheme != u"https" && scheme != u"ws" && scheme != u"wss") {
        return false;
    }
    if (cookie.secure && scheme != u"https" && scheme != u"wss") return false;
    return DomainMatches(parts.host.ToString16(), cookie.domain.ToString16());
}

bool CefCookieManagerImpl::SetCookie(const CefString& url, const CefCookie& cookie,
                                     CefRefPtr<CefSetCookieCallback> callback) {
    bool onIo = ThreadRegistry::IsCurrent(TID_IO);
    bool accepted = onIo && Acceptable(url, cookie);
    if (accepted) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_cookies.push_back(cookie);
        }
        if (EngineBackend* backend = Engine::Get().Backend()) backend->SetCookie(url, cookie);
    }
    RecordLog::Add(0, "cookie",
                   {url.ToString16(), cookie.name.ToString16(), cookie.value.ToString16(),
                    cookie.domain.ToString16(), cookie.path.ToString16(), Flag(cookie.secure),
                    Flag(cookie.httponly), Flag(cookie.has_expires), onIo ? u"io" : u"wrong-thread",
                    accepted ? u"set" : u"refused"});
    if (callback)
        ThreadRegistry::Post(TID_IO, [callback, accepted] { callback->OnComplete(accepted); });
    return accepted;
}

}  // namespace cefimpl

CefRefPtr<CefCookieManager> CefCookieManager::GetGlobalManager(
    CefRefPtr<CefCompletionCallback> callback) {
    if (callback) cefimpl::ThreadRegistry::Post(TID_IO, [callback] { callback->OnComplete(); });
    return cefimpl::CefCookieManagerImpl::Global().get();
}
