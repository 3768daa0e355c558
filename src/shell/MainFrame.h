// The game window's frame. It is the application's main window: created
// hidden at start-up, shown when the page opens the game. Its documents are
// the game's web panels.
#pragma once

#include "afx/Afx.h"

class CMainFrame : public CMDIFrameWnd {
public:
    CMainFrame() = default;

    // The title is the game's, whatever document is active.
    void OnUpdateFrameTitle(BOOL addToTitle) override;

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
