// The page-callable OpenGameWindow(caption, url), one handler per script
// context: it asks the browser process to open the game window.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/CefV8.h"

class Ve360Z8Ovarero : public CefV8Handler {
public:
    explicit Ve360Z8Ovarero(CefRefPtr<CefBrowser> browser) : m_browser(browser) {}

    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object,
                 const CefV8ValueList& arguments, CefRefPtr<CefV8Value>& retval,
                 CefString& exception) override;

private:
    CefRefPtr<CefBrowser> m_browser;

    IMPLEMENT_REFCOUNTING(Ve360Z8Ovarero);
};
