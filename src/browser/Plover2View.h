// The view of a game window document: one embedded browser filling it. It
// sends every popup to the external browser and marks each loaded page's
// host with the marker cookie.
#pragma once

#include "afx/Afx.h"
#include "cef/CefBrowser.h"

class CPlover2View : public CView {
public:
    void OnInitialUpdate() override;
    // Loads the address, or keeps the latest one until the browser arrives:
    // the engine makes browsers on its own thread, so a panel opened and
    // navigated at once must not come up blank.
    void Navigate(const wchar_t* url);
    void Refresh();

    CefRefPtr<CefBrowser> m_browser;
    CString m_pendingUrl;

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserAfterCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserLoadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserBeforePopup(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
