// Marks a page's host with the marker cookie, on the engine's IO thread
// where cookie changes must be made.
#pragma once

#include "cef/CefCookie.h"
#include "cef/CefTask.h"

class SetCookieTask : public CefTask {
public:
    explicit SetCookieTask(const CefString& url) : m_url(url) {}
    void Execute() override;

    // The cookie for a page's host: "plover=1" is the whole name.
    static CefCookie MarkerCookie(const CefString& host);

    CefString m_url;

    IMPLEMENT_REFCOUNTING(SetCookieTask);
};
