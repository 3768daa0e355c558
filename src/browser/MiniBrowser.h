// A child window hosting one embedded browser of a login panel. It keeps the
// browser fitted to its client area, holds a navigation asked before the
// browser exists, and owns the login page's popup policy.
#pragma once

#include "afx/Afx.h"
#include "cef/CefBrowser.h"

class CMiniBrowser : public CWnd {
public:
    CMiniBrowser() = default;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL Create(LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                CCreateContext* context = nullptr);

    // Loads at once, or keeps the latest address until the browser exists.
    // The further parameters are accepted for compatibility and ignored.
    void Navigate(const wchar_t* url, DWORD flags = 0, const wchar_t* targetFrame = nullptr,
                  const wchar_t* headers = nullptr, const void* postData = nullptr,
                  DWORD postDataLength = 0);
    void Refresh();
    void SetMargins(int l, int t, int r, int b);

    CefRefPtr<CefBrowser> m_browser;
    CString m_pendingUrl;
    int m_margins[4] = {0, 0, 0, 0};

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserAfterCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserLoadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserBeforeBrowse(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserBeforePopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserPopGameWindow(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void FitBrowser();
    void SendGameRequest(const CefString& url, const CefString& frameName);
};

// Moves a browser's own window over its host's whole client area in one
// deferred batch. Shared by every host window.
void FitBrowserWindow(HWND host, CefRefPtr<CefBrowser> browser);
// Loads a URL into the browser's main frame and gives it the keyboard focus.
void LoadInBrowser(CefRefPtr<CefBrowser> browser, const wchar_t* url);
// Hands a URL to the external browser: the shell's "Open", else Internet
// Explorer maximised. True when either accepted it.
bool OpenExternally(const wchar_t* url);
