// Binds a framework object to the next window this thread creates, before
// the window sees its first message, so WM_NCCREATE and WM_CREATE reach the
// object's handlers whatever the window class.
#pragma once

#include <windows.h>

class CWnd;

class AfxCreationHook {
public:
    explicit AfxCreationHook(CWnd* object);
    ~AfxCreationHook();
    AfxCreationHook(const AfxCreationHook&) = delete;
    AfxCreationHook& operator=(const AfxCreationHook&) = delete;

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam);
    static thread_local CWnd* s_pending;
    HHOOK m_hook = nullptr;
};
