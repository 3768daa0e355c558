// CFrameWnd: a top-level frame loaded from one resource id (icon, menu,
// accelerators, title string). Frames belong to the framework: they delete
// themselves when their window is gone.
#pragma once

#include "afx/Wnd.h"

// Frame style flag: the document's name is added to the title.
#define FWS_ADDTOTITLE 0x00008000L

class CFrameWnd : public CWnd {
public:
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    virtual void OnUpdateFrameTitle(BOOL addToTitle);
    virtual void ActivateFrame(int showCommand = -1);

    BOOL PreTranslateMessage(MSG* msg) override;
    // Commands go to the frame, then to the application.
    BOOL OnCmdMsg(UINT id, UINT code) override;
    void PostNcDestroy() override { delete this; }

    HACCEL m_hAccelTable = nullptr;
    CString m_strTitle;

protected:
    // The window class of frames with the given icon.
    static LPCWSTR RegisterFrameClass(UINT iconId);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
