#include "afx/CreationHook.h"

#include "afx/Afx.h"

thread_local CWnd* AfxCreationHook::s_pending = nullptr;

AfxCreationHook::AfxCreationHook(CWnd* object) {
    s_pending = object;
    m_hook = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
}

AfxCreationHook::~AfxCreationHook() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    s_pending = nullptr;
}

LRESULT CALLBACK AfxCreationHook::Proc(int code, WPARAM wParam, LPARAM lParam) {
    // Only the first window counts: a dialog's controls are created inside
    // the same call and keep their own procedures.
    if (code == HCBT_CREATEWND && s_pending) {
        CWnd* object = s_pending;
        s_pending = nullptr;
        object->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
