#include "shell/StackFollower.h"

void StackFollower::Install(HWND followed, HWND followerWindow, WNDPROC procedure) {
    if (previous || !followed) return;
    follower = followerWindow;
    previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(followed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT StackFollower::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    if (message == WM_MOVE && follower) {
        int x = static_cast<short>(LOWORD(lParam));
        int y = static_cast<short>(HIWORD(lParam));
        SetWindowPos(follower, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}
