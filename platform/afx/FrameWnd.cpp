#include "afx/Afx.h"

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_MESSAGE(WM_CLOSE, OnClose)
END_MESSAGE_MAP()

LPCWSTR CFrameWnd::RegisterFrameClass(UINT iconId) {
    static wchar_t name[32];
    wsprintfW(name, L"AfxFrame:%u", iconId);
    WNDCLASSW frameClass = {};
    frameClass.style = CS_DBLCLKS;
    frameClass.lpfnWndProc = ::DefWindowProcW;
    frameClass.hInstance = AfxGetInstanceHandle();
    frameClass.hIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(iconId));
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = name;
    return AfxRegisterClass(&frameClass) ? name : nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    // The title is the first line of the resource's string.
    CString title;
    title.LoadString(resourceId);
    size_t newline = title.Str().find(L'\n');
    m_strTitle = newline == std::wstring::npos ? title : CString(title.Str().substr(0, newline));

    LPCWSTR className = RegisterFrameClass(resourceId);
    if (!className) return FALSE;
    HMENU menu = LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(resourceId));
    if (!CreateEx(0, className, m_strTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, menu, context)) {
        if (menu) DestroyMenu(menu);
        return FALSE;
    }
    m_hAccelTable = LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(resourceId));
    return TRUE;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    (void)addToTitle;
    SetWindowText(m_strTitle);
}

void CFrameWnd::ActivateFrame(int showCommand) {
    if (showCommand == -1) showCommand = IsIconic() ? SW_RESTORE : SW_SHOW;
    ShowWindow(showCommand);
    ::BringWindowToTop(m_hWnd);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !m_hAccelTable) return FALSE;
    return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, msg) != 0;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, UINT code) {
    if (CWnd::OnCmdMsg(id, code)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code);
}

LRESULT CFrameWnd::OnClose(WPARAM, LPARAM) {
    // Closing the main frame ends the application (its destruction posts
    // the quit message).
    DestroyWindow();
    return 0;
}
