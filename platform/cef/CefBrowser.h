// Browsers, their frames and their host side.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "cef/CefBase.h"
#include "cef/CefString.h"
#include "cef/CefValues.h"

#include <cstdint>

class CefBrowserHost;
class CefClient;
class CefDOMVisitor;
class CefFrame;
class CefV8Context;

enum cef_state_t {
    STATE_DEFAULT = 0,
    STATE_ENABLED,
    STATE_DISABLED,
};

struct CefWindowInfo {
    DWORD ex_style = 0;
    CefString window_name;
    DWORD style = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent_window = nullptr;
    HMENU menu = nullptr;
    bool windowless_rendering_enabled = false;
    bool transparent_painting_enabled = false;
    HWND window = nullptr;

    void SetAsChild(HWND parent, const RECT& rect) {
        style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
        parent_window = parent;
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
};

struct CefBrowserSettings {
    int windowless_frame_rate = 0;
    CefString standard_font_family;
    CefString default_encoding;
    int default_font_size = 0;
    int minimum_font_size = 0;
    cef_state_t javascript = STATE_DEFAULT;
    cef_state_t local_storage = STATE_DEFAULT;
    cef_state_t application_cache = STATE_DEFAULT;
    cef_state_t web_security = STATE_DEFAULT;
};

struct CefPopupFeatures {
    int x = 0, y = 0, width = 0, height = 0;
    bool xSet = false, ySet = false, widthSet = false, heightSet = false;
};

class CefRequestContext : public virtual CefBase {};

class CefBrowser : public virtual CefBase {
public:
    // Browser process only.
    virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    virtual bool IsPopup() = 0;
    virtual bool IsLoading() = 0;
    virtual bool CanGoBack() = 0;
    virtual bool CanGoForward() = 0;
    virtual void Reload() = 0;
    virtual void ReloadIgnoreCache() = 0;
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
    // The frame with the focus, else the main frame.
    virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
    virtual size_t GetFrameCount() = 0;
    // Delivered asynchronously; false when it cannot be sent.
    virtual bool SendProcessMessage(CefProcessId targetProcess,
                                    CefRefPtr<CefProcessMessage> message) = 0;
};

class CefBrowserHost : public virtual CefBase {
public:
    // Asks for a new browser; it reports itself through the client's
    // OnAfterCreated. False when the request is refused.
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                              const CefString& url, const CefBrowserSettings& settings,
                              CefRefPtr<CefRequestContext> requestContext);

    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual HWND GetWindowHandle() = 0;
    virtual void SetFocus(bool focus) = 0;
    virtual void CloseBrowser(bool forceClose) = 0;
};

class CefFrame : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual bool IsMain() = 0;
    virtual bool IsFocused() = 0;
    virtual CefString GetName() = 0;
    virtual int64_t GetIdentifier() = 0;
    virtual CefString GetURL() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual void LoadURL(const CefString& url) = 0;
    // Render process: runs the visitor over the frame's document before it
    // returns. Browser process: not available.
    virtual void VisitDOM(CefRefPtr<CefDOMVisitor> visitor) = 0;
    // Render process only: the frame's current script context.
    virtual CefRefPtr<CefV8Context> GetV8Context() = 0;
};
