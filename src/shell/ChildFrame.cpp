#include "shell/ChildFrame.h"

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
ON_MESSAGE(WM_MDIACTIVATE, OnMdiActivate)
END_MESSAGE_MAP()

BOOL CChildFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.style &= ~static_cast<DWORD>(FWS_ADDTOTITLE);
    return CMDIChildWnd::PreCreateWindow(cs);
}

void CChildFrame::ActivateFrame(int) { CMDIChildWnd::ActivateFrame(SW_SHOWMAXIMIZED); }

LRESULT CChildFrame::OnMdiActivate(WPARAM, LPARAM) {
    LRESULT result = Default();
    if (HWND main = AfxGetApp()->m_hMainWnd) ::SetMenu(main, nullptr);
    return result;
}
