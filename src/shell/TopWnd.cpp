#include "shell/TopWnd.h"

#include "app/Plover2App.h"
#include "res/resource.h"
#include "shell/ImageButton.h"
#include "shell/LoginWnd.h"
#include "shell/StackFollower.h"

namespace {
StackFollower g_loginFollower;

LRESULT CALLBACK FollowLoginProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return g_loginFollower.Handle(window, message, wParam, lParam);
}

// Buttons send their action as command id 0x8000 + action.
constexpr UINT kButtonCommandBase = 0x8000;
}  // namespace

BEGIN_MESSAGE_MAP(CTopWnd, CDialog)
ON_COMMAND(kButtonCommandBase + kActionMinimize, OnMinimize)
ON_COMMAND(kButtonCommandBase + kActionClose, OnClose)
END_MESSAGE_MAP()

CTopWnd::CTopWnd() : CDialog(IDD_TOP) {}

CTopWnd::~CTopWnd() { DestroyButtons(); }

BOOL CTopWnd::OnInitDialog() {
    CDialog::OnInitDialog();
    g_loginFollower.Install(::GetWindow(m_hWnd, GW_OWNER), m_hWnd, FollowLoginProc);
    MakeColourKeyed(*this);
    RebuildButtons();
    return TRUE;
}

void CTopWnd::DestroyButtons() {
    for (LoginButton& entry : m_buttons) {
        if (entry.button && entry.button->m_hWnd) entry.button->DestroyWindow();
        entry.button.reset();
    }
    m_buttons.clear();
}

void CTopWnd::RebuildButtons() {
    DestroyButtons();
    const GameConfig* game = theApp.CurrentGame();
    if (!game) return;
    for (const ButtonItem& item : game->login.buttons) {
        LoginButton entry;
        entry.rect = item.rect;
        entry.action = item.action;
        entry.button = std::make_unique<CImageButton>();
        RECT rect = {item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
        entry.button->Create(L"", WS_CHILD | WS_VISIBLE, rect, this,
                             kButtonCommandBase + static_cast<UINT>(item.action));
        entry.button->SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        entry.button->SetImages(item.normal, item.hover, item.pressed, item.normal, item.normal);
        m_buttons.push_back(std::move(entry));
    }
    SetWindowPos(nullptr, 0, 0, game->login.width, game->login.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTopWnd::OnMinimize() {
    // The background owns the login window, which owns this one; minimising
    // it takes the whole stack along.
    HWND login = ::GetWindow(m_hWnd, GW_OWNER);
    HWND background = login ? ::GetWindow(login, GW_OWNER) : nullptr;
    if (background) ::ShowWindow(background, SW_MINIMIZE);
}

void CTopWnd::OnClose() {
    if (AfxGetApp()->m_hMainWnd) ::PostMessageW(AfxGetApp()->m_hMainWnd, WM_CLOSE, 0, 0);
}
