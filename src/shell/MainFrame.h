// The game window's frame. It is the application's main window: created
// hidden at start-up, shown when the page opens the game.
#pragma once

#include "afx/Afx.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame() = default;
};
