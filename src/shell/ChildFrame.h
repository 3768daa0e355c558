// A document window of the game window: always maximised inside the frame,
// and never bringing the frame's menu bar back.
#pragma once

#include "afx/Afx.h"

class CChildFrame : public CMDIChildWnd {
public:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void ActivateFrame(int showCommand = -1) override;

protected:
    LRESULT OnMdiActivate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
