// The global cookie store.
#pragma once

#include "cef/CefBase.h"
#include "cef/CefString.h"

#include <cstdint>

struct CefTime {
    int year = 0, month = 0, day_of_week = 0, day_of_month = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct CefCookie {
    CefString name;
    CefString value;
    CefString domain;
    CefString path;
    bool secure = false;
    bool httponly = false;
    CefTime creation;
    CefTime last_access;
    bool has_expires = false;
    CefTime expires;
};

class CefCompletionCallback : public virtual CefBase {
public:
    virtual void OnComplete() = 0;
};

class CefSetCookieCallback : public virtual CefBase {
public:
    virtual void OnComplete(bool success) = 0;
};

class CefCookieManager : public virtual CefBase {
public:
    static CefRefPtr<CefCookieManager> GetGlobalManager(CefRefPtr<CefCompletionCallback> callback);

    // Must be called on the IO thread. False when the URL or the cookie is
    // not acceptable; then nothing is stored.
    virtual bool SetCookie(const CefString& url, const CefCookie& cookie,
                           CefRefPtr<CefSetCookieCallback> callback) = 0;
};
