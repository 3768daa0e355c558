// The window of a browser: a child of the client's host window (or, for a
// popup the engine opens itself, a top-level window). It lives on the UI
// thread; the backend paints it.
#pragma once

#include "cef/CefBrowser.h"

namespace cefimpl {

class BrowserHostImpl;

class BrowserWindow {
public:
    // UI thread. Null when the window cannot be made (a parent gone meanwhile).
    static HWND Create(BrowserHostImpl& browser, const CefWindowInfo& info, bool isPopup);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void Paint(HWND window, HDC dc, BrowserHostImpl& browser);
};

}  // namespace cefimpl
