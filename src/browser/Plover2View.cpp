#include "browser/Plover2View.h"

#include "app/Plover2App.h"
#include "browser/BrowserMessages.h"
#include "browser/ClientApp.h"
#include "browser/MiniBrowser.h"
#include "browser/SetCookieTask.h"

BEGIN_MESSAGE_MAP(CPlover2View, CView)
ON_MESSAGE(WM_CREATE, OnCreate)
ON_MESSAGE(WM_SIZE, OnSize)
ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
ON_MESSAGE(WM_BROWSER_AFTERCREATED, OnBrowserAfterCreated)
ON_MESSAGE(WM_BROWSER_LOADEND, OnBrowserLoadEnd)
ON_MESSAGE(WM_BROWSER_BEFOREPOPUP, OnBrowserBeforePopup)
END_MESSAGE_MAP()

LRESULT CPlover2View::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    RECT client;
    GetClientRect(&client);
    if (theApp.m_clientApp) theApp.m_clientApp->CreateBrowser(m_hWnd, client, L"about:blank");
    return 0;
}

void CPlover2View::OnInitialUpdate() {
    CView::OnInitialUpdate();
    Navigate(L"about:blank");
}

LRESULT CPlover2View::OnSize(WPARAM, LPARAM) {
    Default();
    FitBrowserWindow(m_hWnd, m_browser);
    return 0;
}

LRESULT CPlover2View::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

void CPlover2View::Navigate(const wchar_t* url) {
    if (!m_browser) {
        m_pendingUrl = url ? url : L"";
        return;
    }
    LoadInBrowser(m_browser, url);
}

void CPlover2View::Refresh() {
    if (m_browser) m_browser->ReloadIgnoreCache();
}

LRESULT CPlover2View::OnBrowserAfterCreated(WPARAM, LPARAM lParam) {
    m_browser = reinterpret_cast<CefBrowser*>(lParam);
    if (!m_pendingUrl.IsEmpty()) {
        CString pending = m_pendingUrl;
        m_pendingUrl.Empty();
        Navigate(pending);
    }
    return 0;
}

LRESULT CPlover2View::OnBrowserLoadEnd(WPARAM, LPARAM) {
    // Whichever frame ended, the marker goes to the main frame's host.
    if (m_browser) CefPostTask(TID_IO, new SetCookieTask(m_browser->GetMainFrame()->GetURL()));
    SendMessage(WM_SIZE, 0, 0);
    return 0;
}

LRESULT CPlover2View::OnBrowserBeforePopup(WPARAM wParam, LPARAM) {
    // The game's popups always open outside, as they are; the engine never
    // opens one from a game view.
    OpenExternally(reinterpret_cast<const wchar_t*>(wParam));
    return 1;
}
