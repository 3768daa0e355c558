#include "afx/Afx.h"

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
ON_MESSAGE(WM_CREATE, OnCreate)
END_MESSAGE_MAP()

LRESULT CMDIFrameWnd::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    return CreateClient() ? 0 : -1;
}

BOOL CMDIFrameWnd::CreateClient() {
    CLIENTCREATESTRUCT client = {nullptr, 0xFF00};
    m_hWndMDIClient = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 0,
        0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
        AfxGetInstanceHandle(), &client);
    return m_hWndMDIClient != nullptr;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
    if (!m_hWndMDIClient) return nullptr;
    HWND active = reinterpret_cast<HWND>(
        ::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
    return static_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(active));
}

CDocument* CMDIFrameWnd::GetActiveDocument() const {
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcW(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_hWndMDIClient && ::TranslateMDISysAccel(m_hWndMDIClient, msg)) return TRUE;
    return CFrameWnd::PreTranslateMessage(msg);
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT id, UINT code) {
    // The active document window and its view see commands first.
    CMDIChildWnd* child = MDIGetActive();
    if (child && child->RouteToViewAndSelf(id, code)) return TRUE;
    return CFrameWnd::OnCmdMsg(id, code);
}
