// CMDIFrameWnd: a frame holding document windows in its MDI client.
#pragma once

#include "afx/FrameWnd.h"

class CDocument;
class CMDIChildWnd;

// The MDI client's and a frame's single view's child id.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

class CMDIFrameWnd : public CFrameWnd {
public:
    // The active document window, or null.
    CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
    // The active document window's document, or null.
    CDocument* GetActiveDocument() const;

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, UINT code) override;

    HWND m_hWndMDIClient = nullptr;

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateClient();
};
