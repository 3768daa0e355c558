#include "shell/MainFrame.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
ON_MESSAGE(WM_CREATE, OnCreate)
END_MESSAGE_MAP()

LRESULT CMainFrame::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (CMDIFrameWnd::OnCreate(wParam, lParam) == -1) return -1;
    ModifyStyle(WS_CAPTION, 0);
    OnUpdateFrameTitle(TRUE);
    return 0;
}

void CMainFrame::OnUpdateFrameTitle(BOOL) {
    CString title;
    title.LoadString(IDS_GAME_TITLE);
    SetWindowText(title);
}
