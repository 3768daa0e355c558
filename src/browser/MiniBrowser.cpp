#include "browser/MiniBrowser.h"

#include "app/Plover2App.h"
#include "browser/BrowserMessages.h"
#include "browser/ClientApp.h"
#include "browser/HostMessages.h"
#include "browser/PopupPolicy.h"
#include "cef/CefUrl.h"

#include <shellapi.h>

namespace {
constexpr wchar_t kClassName[] = L"MiniBrowser";

std::u16string U16(const wchar_t* text) { return ToU16(text); }
}  // namespace

BEGIN_MESSAGE_MAP(CMiniBrowser, CWnd)
ON_MESSAGE(WM_CREATE, OnCreate)
ON_MESSAGE(WM_SIZE, OnSize)
ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
ON_MESSAGE(WM_BROWSER_AFTERCREATED, OnBrowserAfterCreated)
ON_MESSAGE(WM_BROWSER_LOADEND, OnBrowserLoadEnd)
ON_MESSAGE(WM_BROWSER_BEFOREBROWSE, OnBrowserBeforeBrowse)
ON_MESSAGE(WM_BROWSER_BEFOREPOPUP, OnBrowserBeforePopup)
ON_MESSAGE(WM_BROWSER_POPGAMEWINDOW, OnBrowserPopGameWindow)
END_MESSAGE_MAP()

void FitBrowserWindow(HWND host, CefRefPtr<CefBrowser> browser) {
    if (!browser) return;
    HWND window = browser->GetHost() ? browser->GetHost()->GetWindowHandle() : nullptr;
    if (!window) return;
    RECT client;
    ::GetClientRect(host, &client);
    HDWP batch = BeginDeferWindowPos(1);
    if (!batch) return;
    batch = DeferWindowPos(batch, window, nullptr, client.left, client.top,
                           client.right - client.left, client.bottom - client.top, SWP_NOZORDER);
    if (batch) EndDeferWindowPos(batch);
}

bool OpenExternally(const wchar_t* url) {
    auto opened = [](HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; };
    if (opened(ShellExecuteW(nullptr, L"Open", url, nullptr, nullptr, SW_SHOWNORMAL))) return true;
    return opened(ShellExecuteW(nullptr, L"open", L"iexplore.exe", url, nullptr, SW_SHOWMAXIMIZED));
}

BOOL CMiniBrowser::PreCreateWindow(CREATESTRUCTW& cs) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = AfxGetInstanceHandle();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(5));
    windowClass.lpszClassName = kClassName;
    if (!AfxRegisterClass(&windowClass)) return FALSE;
    cs.lpszClass = kClassName;
    return CWnd::PreCreateWindow(cs);
}

BOOL CMiniBrowser::Create(LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                          CCreateContext* context) {
    return CWnd::Create(kClassName, windowName, style, rect, parent, id, context);
}

void CMiniBrowser::SetMargins(int l, int t, int r, int b) {
    m_margins[0] = l;
    m_margins[1] = t;
    m_margins[2] = r;
    m_margins[3] = b;
}

LRESULT CMiniBrowser::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    RECT client;
    GetClientRect(&client);
    if (theApp.m_clientApp) theApp.m_clientApp->CreateBrowser(m_hWnd, client, L"about:blank");
    return 0;
}

LRESULT CMiniBrowser::OnSize(WPARAM, LPARAM) {
    Default();
    FitBrowser();
    return 0;
}

void CMiniBrowser::FitBrowser() { FitBrowserWindow(m_hWnd, m_browser); }

LRESULT CMiniBrowser::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }

void LoadInBrowser(CefRefPtr<CefBrowser> browser, const wchar_t* url) {
    browser->GetMainFrame()->LoadURL(CefString(url));
    if (HWND window = browser->GetHost()->GetWindowHandle()) ::SetFocus(window);
    browser->GetHost()->SetFocus(true);
}

void CMiniBrowser::Navigate(const wchar_t* url, DWORD, const wchar_t*, const wchar_t*, const void*,
                            DWORD) {
    if (!m_browser) {
        m_pendingUrl = url ? url : L"";
        return;
    }
    LoadInBrowser(m_browser, url);
}

void CMiniBrowser::Refresh() {
    if (m_browser) m_browser->ReloadIgnoreCache();
}

LRESULT CMiniBrowser::OnBrowserAfterCreated(WPARAM, LPARAM lParam) {
    m_browser = reinterpret_cast<CefBrowser*>(lParam);
    if (!m_pendingUrl.IsEmpty()) {
        CString pending = m_pendingUrl;
        m_pendingUrl.Empty();
        Navigate(pending);
    }
    return 0;
}

LRESULT CMiniBrowser::OnBrowserLoadEnd(WPARAM, LPARAM) {
    SendMessage(WM_SIZE, 0, 0);
    return 0;
}

LRESULT CMiniBrowser::OnBrowserBeforeBrowse(WPARAM, LPARAM) { return 0; }

LRESULT CMiniBrowser::OnBrowserBeforePopup(WPARAM wParam, LPARAM lParam) {
    const wchar_t* url = reinterpret_cast<const wchar_t*>(wParam);
    const wchar_t* frameName = reinterpret_cast<const wchar_t*>(lParam);

    CefURLParts current;
    CefRefPtr<CefFrame> focused = m_browser ? m_browser->GetFocusedFrame() : nullptr;
    CefParseURL(focused ? focused->GetURL() : CefString(), current);
    CefURLParts parsed;
    CefParseURL(CefString(url), parsed);

    PopupTarget target{U16(url), U16(frameName), parsed.host.ToString16(),
                       parsed.spec.ToString16()};
    PopupDecision decision = DecidePopup(m_browser != nullptr, target, current.host.ToString16());
    switch (decision.route) {
        case PopupRoute::kCancel:
            return 1;
        case PopupRoute::kEnginePopup:
            return 0;
        case PopupRoute::kGameRequest:
            SendGameRequest(CefString(url), CefString(frameName));
            return 1;
        case PopupRoute::kExternal:
            return OpenExternally(ToWide(decision.resolvedUrl).c_str()) ? 1 : 0;
    }
    return 1;
}

void CMiniBrowser::SendGameRequest(const CefString& url, const CefString& frameName) {
    // The render process answers with the activated element's title as the
    // caption (the page bridge), which comes back as WM_BROWSER_POPGAMEWINDOW.
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("PopGameWindow");
    CefRefPtr<CefListValue> arguments = message->GetArgumentList();
    arguments->SetString(0, url);
    arguments->SetString(1, frameName);
    m_browser->SendProcessMessage(PID_RENDERER, message);
}

LRESULT CMiniBrowser::OnBrowserPopGameWindow(WPARAM wParam, LPARAM) {
    CefProcessMessage* message = reinterpret_cast<CefProcessMessage*>(wParam);
    CefRefPtr<CefListValue> arguments = message ? message->GetArgumentList() : nullptr;
    auto argument = [&](size_t index) {
        return arguments && index < arguments->GetSize() ? arguments->GetString(index).ToWString()
                                                         : std::wstring();
    };
    std::wstring url = argument(0);
    std::wstring caption = argument(1);
    if (m_browser) {
        ::SendMessageW(::GetParent(m_hWnd), WM_OPEN_GAME, reinterpret_cast<WPARAM>(url.c_str()),
                       reinterpret_cast<LPARAM>(caption.c_str()));
        g_loginScreenActive = 0;
    }
    return 1;
}
