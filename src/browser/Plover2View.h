// The view of a game window document: one embedded browser filling it. It
// sends every popup to the external browser and marks each loaded page's
// host with the marker cookie.
#pragma once

#include "afx/Afx.h"
#include "cef/CefBrowser.h"

class CPlover2View : public CView {
public:
    void OnInitialUpdate() override;
    // Loads the address when the browser exists; before that, nothing.
    void Navigate(const wchar_t* url);
    void Refresh();

    CefRefPtr<CefBrowser> m_browser;

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserAfterCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserLoadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserBeforePopup(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
