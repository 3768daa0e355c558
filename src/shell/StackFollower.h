// The login screen's three windows move as one: the login window replaces
// the background's window procedure to follow its moves, the top window the
// login window's. Each replacement happens once per process.
#pragma once

#include "afx/Afx.h"

struct StackFollower {
    WNDPROC previous = nullptr;  // the followed window's own procedure
    HWND follower = nullptr;     // the window moved along

    // Installs `procedure` on `followed` unless this follower already did.
    void Install(HWND followed, HWND followerWindow, WNDPROC procedure);
    // On WM_MOVE: the follower goes to the followed window's new client
    // origin (signed 16-bit coordinates), raised and activated.
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
};
