#include "shell/LoginWnd.h"

#include "app/Plover2App.h"
#include "browser/HostMessages.h"
#include "browser/MiniBrowser.h"
#include "res/resource.h"
#include "shell/StackFollower.h"

#include <wininet.h>

namespace {
StackFollower g_backgroundFollower;
bool g_firstLoginErase = true;
constexpr UINT_PTR kConnectivityTimer = 2;

LRESULT CALLBACK FollowBackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return g_backgroundFollower.Handle(window, message, wParam, lParam);
}

std::u16string TextOrEmpty(WPARAM text) { return ToU16(reinterpret_cast<const wchar_t*>(text)); }
}  // namespace

void MakeColourKeyed(CWnd& window) {
    window.ModifyStyleEx(0, WS_EX_LAYERED);
    SetLayeredWindowAttributes(window.m_hWnd, GetSysColor(COLOR_BTNFACE), 0, LWA_COLORKEY);
}

BEGIN_MESSAGE_MAP(CLoginWnd, CDialog)
ON_MESSAGE(WM_OPEN_GAME, OnOpenGame)
ON_MESSAGE(WM_TIMER, OnTimer)
ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
END_MESSAGE_MAP()

CLoginWnd::CLoginWnd() : CDialog(IDD_LOGIN) {}

CLoginWnd::~CLoginWnd() { DestroyPanels(); }

BOOL CLoginWnd::OnInitDialog() {
    CDialog::OnInitDialog();
    g_backgroundFollower.Install(::GetWindow(m_hWnd, GW_OWNER), m_hWnd, FollowBackgroundProc);
    SetTimer(kConnectivityTimer, 2000);
    MakeColourKeyed(*this);
    RebuildPanels();
    return TRUE;
}

void CLoginWnd::DestroyPanels() {
    for (LoginPanel& panel : m_panels) {
        if (panel.host) {
            panel.host->DestroyWindow();
            panel.host.reset();
        }
    }
    m_panels.clear();
}

void CLoginWnd::RebuildPanels() {
    DestroyPanels();
    const GameConfig* game = theApp.CurrentGame();
    if (!game) return;
    for (const WebPanel& web : game->login.webs) {
        LoginPanel panel;
        panel.rect = web.rect;
        panel.l = web.l;
        panel.t = web.t;
        panel.r = web.r;
        panel.b = web.b;
        panel.url = web.url;
        panel.flag = web.flag;
        panel.function = web.function;
        if (web.flag & 1) {
            auto host = std::make_unique<CMiniBrowser>();
            host->SetMargins(web.l, web.t, web.r, web.b);
            RECT rect = {web.rect.left, web.rect.top, web.rect.right, web.rect.bottom};
            host->Create(L"", WS_CHILD | WS_VISIBLE, rect, this,
                         static_cast<UINT>(m_nextPanelId++));
            host->Navigate(ToWide(web.url).c_str());
            host->ShowWindow(SW_SHOW);
            host->UpdateWindow();
            panel.host = std::move(host);
        }
        m_panels.push_back(std::move(panel));
    }
    SetWindowPos(nullptr, 0, 0, game->login.width, game->login.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLoginWnd::ReloadPanels() {
    for (LoginPanel& panel : m_panels) {
        if (panel.host && panel.host->m_hWnd) panel.host->Refresh();
    }
}

LRESULT CLoginWnd::OnOpenGame(WPARAM wParam, LPARAM lParam) {
    std::u16string url = TextOrEmpty(wParam);
    std::u16string caption = TextOrEmpty(static_cast<WPARAM>(lParam));
    theApp.ShowGameWindow(url, caption);
    return 0;
}

LRESULT CLoginWnd::OnTimer(WPARAM wParam, LPARAM) {
    // Every timer of this window fires once.
    KillTimer(wParam);
    if (wParam == kConnectivityTimer) CheckConnectivity();
    return Default();
}

void CLoginWnd::CheckConnectivity() {
    DWORD flags = 0;
    BOOL connected = InternetGetConnectedState(&flags, 0);
    if (!connected) AfxMessageBox(IDS_NETWORK_FAILED, MB_OK);
}

LRESULT CLoginWnd::OnNcHitTest(WPARAM, LPARAM) { return HTTRANSPARENT; }

LRESULT CLoginWnd::OnEraseBkgnd(WPARAM, LPARAM) {
    // The first erase paints the colour key; later ones would only flicker.
    if (g_firstLoginErase) {
        g_firstLoginErase = false;
        return Default();
    }
    return TRUE;
}
