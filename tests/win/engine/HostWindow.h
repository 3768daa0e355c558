// A top-level window of the test's main thread, the parent of the test
// browsers, as the client's host windows are. Engine threads may ask it to
// run a function on the main thread with SendMessageW, as the client's
// handler reaches its windows.
#pragma once

#include <windows.h>

#include <functional>

class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return m_window; }
    // From any thread: runs `work` on the window's thread and returns after it.
    void RunOnOwner(const std::function<void()>& work) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
};
